// The sound of the Linux media commands over GStreamer (see gst_media.h).
// A music file plays through playbin, the looping wave sound through playbin sent back
// to its start by a segment seek at each end (no gap, nothing made anew), and the audio
// CD through an appsrc that reads the disc's sectors as the pipeline asks for them
// (cdio_disc.h). Every pipeline ends in an explicit sound server sink, so that no
// sound output is noticed rather than played into a fake sink. A pipeline that lost
// its sound server (a restart of the server, a device change) is made anew when its
// sound is asked for again: the music file and the CD at their polls, the wave sound
// every second by itself.
//
// GStreamer's threads touch nothing but their pipelines: the bus messages are read on
// the user-interface thread, at each command and from an FLTK timeout; the wave loop's
// seeks alone are made from GStreamer's helper thread (WaveLoop).
#include "gst_media.h"

#include <FL/Fl.H>
#include <fcntl.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <cstring>

#include "cdio_disc.h"
#include "media_layer.h"

namespace me = media_error;

namespace {

// The first sink that reaches a sound output (a sound server, or a sound card through
// ALSA); empty when none does. A sink that cannot even be made ready stands for no
// wave output device.
std::string FindSink() {
  for (const char* name : {"pulsesink", "alsasink"}) {
    GstElement* element = gst_element_factory_make(name, nullptr);
    if (!element) continue;
    const bool works = gst_element_set_state(element, GST_STATE_READY) == GST_STATE_CHANGE_SUCCESS;
    gst_element_set_state(element, GST_STATE_NULL);
    gst_object_unref(element);
    if (works) return name;
  }
  return std::string();
}

// A regular file this process can read.
bool Readable(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  const bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  close(fd);
  return regular;
}

bool IsWave(const std::string& path) {
  char head[12] = {};
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  const bool whole = read(fd, head, sizeof head) == static_cast<ssize_t>(sizeof head);
  close(fd);
  return whole && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0;
}

}  // namespace

// A pipeline and what its bus has said.
class Pipeline {
 public:
  explicit Pipeline(GstElement* element) : element_(element) {}
  ~Pipeline() { Close(); }
  Pipeline(const Pipeline&) = delete;
  Pipeline& operator=(const Pipeline&) = delete;

  GstElement* get() const { return element_; }
  // Reads the bus: the end of the stream, a failure, a finished state change.
  void Drain() {
    if (!element_) return;
    GstBus* bus = gst_element_get_bus(element_);
    while (GstMessage* message = gst_bus_pop(bus)) {
      switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_EOS: ended = true; break;
        case GST_MESSAGE_ERROR: failed = true; break;
        case GST_MESSAGE_ASYNC_DONE: prerolled = true; break;
        default: break;
      }
      gst_message_unref(message);
    }
    gst_object_unref(bus);
  }
  // Brings the pipeline down to nothing and forgets what its bus said: once it is
  // down no thread of it is left to post, so whatever it says next belongs to the
  // next start. Down to nothing, a sink that lost its sound server connects anew.
  void Reset() {
    if (!element_) return;
    gst_element_set_state(element_, GST_STATE_NULL);
    GstBus* bus = gst_element_get_bus(element_);
    while (GstMessage* message = gst_bus_pop(bus)) gst_message_unref(message);
    gst_object_unref(bus);
    ended = failed = prerolled = false;
  }
  bool SetState(GstState state) {
    return element_ && gst_element_set_state(element_, state) != GST_STATE_CHANGE_FAILURE;
  }
  // Another pipeline in place of this one, which goes.
  void Replace(GstElement* element) {
    Close();
    element_ = element;
    ended = failed = prerolled = false;
  }
  // Stops every thread of the pipeline before it goes.
  void Close() {
    if (!element_) return;
    gst_element_set_state(element_, GST_STATE_NULL);
    gst_object_unref(element_);
    element_ = nullptr;
  }
  // Position in nanoseconds, -1 when not known.
  gint64 Position() const {
    gint64 at = -1;
    if (!element_ || !gst_element_query_position(element_, GST_FORMAT_TIME, &at)) return -1;
    return at;
  }

  bool ended = false;
  bool failed = false;
  bool prerolled = false;

 private:
  GstElement* element_;
};

namespace {

constexpr int kPlaybinAudioOnly = 0x2;  // playbin's "audio" flag alone

GstElement* MakePlaybin(const std::string& path, const std::string& sink_name) {
  GstElement* playbin = gst_element_factory_make("playbin", nullptr);
  GstElement* sink = gst_element_factory_make(sink_name.c_str(), nullptr);
  gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
  if (!playbin || !sink || !uri) {
    if (playbin) gst_object_unref(playbin);
    if (sink) gst_object_unref(sink);
    g_free(uri);
    return nullptr;
  }
  g_object_set(playbin, "uri", uri, "audio-sink", sink, "flags", kPlaybinAudioOnly, nullptr);
  g_free(uri);
  return playbin;
}

// --- Music files ---

class FileStream : public MediaStream {
 public:
  FileStream(GstElement* playbin, const std::string& path, const std::string& sink)
      : pipe_(playbin), path_(path), sink_(sink) {}

  bool Start() { return pipe_.SetState(GST_STATE_PAUSED); }

  bool Play(std::int64_t from_ms, std::int64_t to_ms) override {
    pipe_.Drain();
    if (pipe_.ended && from_ms < 0 && to_ms < 0) return true;  // at the end: nothing left to play
    if (pipe_.prerolled) played_ = true;
    if (pipe_.failed && !played_) return false;  // a file the decoders refuse
    if (pipe_.ended || pipe_.failed) {
      // A stream that ended or failed starts over from a pipeline brought down and up
      // again rather than by a seek: a flushing seek right after the sink drained its
      // last sound can leave the sound server's stream stalled for good (silence that
      // still reports "playing"), and an end reported just before the seek would be
      // taken for the end of the new run. A failure was most likely the sound server
      // going away; while it is away the start fails and the next play tries again.
      // After a failure the pipeline is made anew: a sink whose first try to
      // connect failed does not try again.
      if (pipe_.failed) {
        pipe_.Replace(MakePlaybin(path_, sink_));
      } else {
        pipe_.Reset();
      }
      pending_ = false;
      if (!Start()) {
        pipe_.Reset();
        pipe_.failed = true;
        return false;
      }
    }
    if (from_ms >= 0 || to_ms >= 0) {
      if (pipe_.prerolled) {
        Seek(from_ms, to_ms);
      } else if (from_ms > 0 || to_ms >= 0) {
        pending_from_ = from_ms;  // a stream not yet ready stands at its start anyway
        pending_to_ = to_ms;
        pending_ = true;
      }
    }
    if (!pipe_.SetState(GST_STATE_PLAYING)) return false;
    playing_ = true;
    return true;
  }
  void Stop() override {
    pipe_.SetState(GST_STATE_PAUSED);
    playing_ = false;
  }
  bool Playing() override {
    Update();
    return playing_;
  }
  std::int64_t PositionMs() override {
    Update();
    if (pipe_.ended) return std::max<std::int64_t>(LengthMs(), 0);
    const gint64 at = pipe_.Position();
    return at < 0 ? 0 : at / GST_MSECOND;
  }
  std::int64_t LengthMs() override {
    gint64 length = -1;
    if (!pipe_.get() || !gst_element_query_duration(pipe_.get(), GST_FORMAT_TIME, &length) || length < 0)
      return -1;
    return length / GST_MSECOND;
  }

 private:
  void Update() {
    pipe_.Drain();
    if (pipe_.prerolled) played_ = true;
    if (pipe_.prerolled && pending_) {
      pending_ = false;
      Seek(pending_from_, pending_to_);
    }
    if (pipe_.ended || pipe_.failed) playing_ = false;
  }
  void Seek(std::int64_t from_ms, std::int64_t to_ms) {
    pipe_.ended = false;
    gst_element_seek(pipe_.get(), 1.0, GST_FORMAT_TIME,
                     static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                     from_ms >= 0 ? GST_SEEK_TYPE_SET : GST_SEEK_TYPE_NONE,
                     from_ms >= 0 ? from_ms * GST_MSECOND : 0, GST_SEEK_TYPE_SET,
                     to_ms >= 0 ? to_ms * GST_MSECOND : GST_CLOCK_TIME_NONE);
  }

  Pipeline pipe_;
  std::string path_;
  std::string sink_;
  bool playing_ = false;
  bool pending_ = false;
  bool played_ = false;  // the file got as far as playing once
  std::int64_t pending_from_ = -1, pending_to_ = -1;
};

// --- The audio CD ---

class GstCdDrive : public CdDrive {
 public:
  GstCdDrive(const std::string& path, const std::string& sink) : disc_(path), sink_(sink) {}
  ~GstCdDrive() override { pipe_.reset(); }  // the streaming thread is gone before feed_

  Disc State() override { return disc_.State(); }
  std::vector<DiscTrack> Tracks() override { return disc_.Tracks(); }

  // One pipeline serves every play: a new start is a flushing seek, so the sound
  // server's stream stays open and a jump back to a track leaves no gap.
  bool Play(std::int32_t from, std::int32_t to) override {
    if (State() != Disc::kReady || from >= to) return false;
    {
      std::lock_guard<std::mutex> lock(feed_.mutex);
      feed_.next = from;
      feed_.end = to;
    }
    GstEvent* seek = gst_event_new_seek(
        1.0, GST_FORMAT_TIME, static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
        GST_SEEK_TYPE_SET, Time(from), GST_SEEK_TYPE_NONE, 0);
    if (!pipe_) {
      // Without a sound output (its server away) a new pipeline cannot start: the
      // polls that ask for one within a second of the last failed try get no new try.
      const gint64 now = g_get_monotonic_time();
      const bool wait = failed_at_ && now - failed_at_ < kRetryMicroseconds;
      if (wait || !Build()) {
        if (!wait) failed_at_ = now;
        gst_event_unref(seek);
        return false;
      }
      failed_at_ = 0;
      // A source not started yet keeps the seek for its start: the first buffer then
      // plays at once rather than after `from` worth of silence.
      gst_element_send_event(src_, seek);
    } else {
      pipe_->Drain();
      gst_element_send_event(pipe_->get(), seek);
    }
    pipe_->ended = false;
    if (pipe_->failed || !pipe_->SetState(GST_STATE_PLAYING)) {
      pipe_.reset();
      return false;
    }
    from_ = from;
    to_ = to;
    position_ = from;
    playing_ = true;
    return true;
  }

  void Stop() override {
    if (!pipe_ || !playing_) return;
    position_ = Position();
    pipe_->SetState(GST_STATE_PAUSED);
    playing_ = false;
  }

  bool Playing() override {
    if (!pipe_) return false;
    pipe_->Drain();
    if (playing_ && (pipe_->ended || pipe_->failed)) {
      position_ = pipe_->ended ? to_ : Position();
      playing_ = false;
      if (pipe_->failed) pipe_.reset();
    }
    return playing_;
  }

  std::int32_t Position() override {
    if (!pipe_ || !playing_) return position_;
    const gint64 at = pipe_->Position();
    if (at >= 0) position_ = std::clamp<std::int64_t>(at * 75 / GST_SECOND, from_, to_);
    return position_;
  }

 private:
  // What the source's streaming thread reads from.
  struct Feed {
    std::mutex mutex;
    std::int32_t next = 0;  // the next sector to hand over
    std::int32_t end = 0;   // the first sector not to
    CdioDisc* disc = nullptr;
  };

  static GstClockTime Time(std::int32_t sector) {
    return gst_util_uint64_scale(static_cast<guint64>(sector), GST_SECOND, 75);
  }

  bool Build() {
    GstElement* pipeline = gst_pipeline_new(nullptr);
    GstElement* src = gst_element_factory_make("appsrc", nullptr);
    GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    GstElement* sink = gst_element_factory_make(sink_.c_str(), nullptr);
    if (!pipeline || !src || !convert || !resample || !sink) {
      for (GstElement* e : {pipeline, src, convert, resample, sink})
        if (e) gst_object_unref(e);
      return false;
    }
    GstCaps* caps = gst_caps_from_string("audio/x-raw,format=S16LE,layout=interleaved,rate=44100,channels=2");
    g_object_set(src, "caps", caps, "format", GST_FORMAT_TIME, "stream-type", GST_APP_STREAM_TYPE_SEEKABLE,
                 "max-bytes", static_cast<guint64>(CdioDisc::kSectorBytes * 38), nullptr);
    gst_caps_unref(caps);
    const std::vector<DiscTrack> tracks = disc_.Tracks();
    gst_app_src_set_duration(GST_APP_SRC(src), Time(tracks.back().start + tracks.back().length));
    feed_.disc = &disc_;
    GstAppSrcCallbacks callbacks = {};
    callbacks.need_data = &GstCdDrive::NeedData;
    callbacks.seek_data = &GstCdDrive::SeekData;
    gst_app_src_set_callbacks(GST_APP_SRC(src), &callbacks, &feed_, nullptr);
    gst_bin_add_many(GST_BIN(pipeline), src, convert, resample, sink, nullptr);
    pipe_ = std::make_unique<Pipeline>(pipeline);
    src_ = src;
    if (!gst_element_link_many(src, convert, resample, sink, nullptr) || !pipe_->SetState(GST_STATE_READY)) {
      pipe_.reset();
      return false;
    }
    return true;
  }

  // On the source's streaming thread: the next few sectors, or the end.
  static void NeedData(GstAppSrc* src, guint, gpointer data) {
    Feed* feed = static_cast<Feed*>(data);
    constexpr std::int32_t kChunk = 7;  // sectors per buffer, about 0.1 s
    std::int32_t at = 0, count = 0;
    {
      std::lock_guard<std::mutex> lock(feed->mutex);
      at = feed->next;
      count = std::min(kChunk, feed->end - at);
      if (count > 0) feed->next += count;
    }
    if (count <= 0) {
      gst_app_src_end_of_stream(src);
      return;
    }
    GstBuffer* buffer =
        gst_buffer_new_allocate(nullptr, static_cast<gsize>(count) * CdioDisc::kSectorBytes, nullptr);
    GstMapInfo map;
    bool read = false;
    if (gst_buffer_map(buffer, &map, GST_MAP_WRITE)) {
      read = feed->disc->Read(at, count, map.data);
      gst_buffer_unmap(buffer, &map);
    }
    if (!read) {  // an unreadable stretch ends the sound
      gst_buffer_unref(buffer);
      gst_app_src_end_of_stream(src);
      return;
    }
    GST_BUFFER_PTS(buffer) = Time(at);
    GST_BUFFER_DURATION(buffer) = Time(count);
    gst_app_src_push_buffer(src, buffer);
  }

  // On a streaming thread: a seek moves the next sector to hand over.
  static gboolean SeekData(GstAppSrc*, guint64 offset, gpointer data) {
    Feed* feed = static_cast<Feed*>(data);
    std::lock_guard<std::mutex> lock(feed->mutex);
    feed->next = static_cast<std::int32_t>(gst_util_uint64_scale(offset, 75, GST_SECOND));
    return TRUE;
  }

  static constexpr gint64 kRetryMicroseconds = 1000000;

  CdioDisc disc_;
  std::string sink_;
  gint64 failed_at_ = 0;  // when a pipeline last failed to start; 0 while none has
  Feed feed_;
  std::unique_ptr<Pipeline> pipe_;
  GstElement* src_ = nullptr;
  bool playing_ = false;
  std::int32_t from_ = 0, to_ = 0, position_ = 0;
};

}  // namespace

// --- The looping wave sound ---

// Keeps the wave sound's pipeline going round without a gap and without making
// anything anew: the stream plays as one segment, and when the segment is done the
// pipeline is sent back to its start by a seek that flushes nothing, while the sink
// still plays what it holds. The seeks are made from GStreamer's own helper thread
// (a seek from the streaming thread that announced the segment's end would wait for
// that very thread); the user-interface thread only says when the pipeline goes, and
// nothing touches it after that. A file that cannot seek ends as usual and is started
// again by its watch.
class WaveLoop : public std::enable_shared_from_this<WaveLoop> {
 public:
  explicit WaveLoop(GstElement* pipeline) : pipeline_(pipeline) {}

  // Hears the pipeline's bus from the threads that post on it.
  void Watch() {
    GstBus* bus = gst_element_get_bus(pipeline_);
    gst_bus_set_sync_handler(bus, &WaveLoop::OnMessage, new std::shared_ptr<WaveLoop>(shared_from_this()),
                             &WaveLoop::Forget);
    gst_object_unref(bus);
  }
  // From here on nothing is asked of the pipeline, which is about to go.
  void Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
  }

 private:
  enum class Step { kStart, kRoundAgain };

  static void Forget(gpointer self) { delete static_cast<std::shared_ptr<WaveLoop>*>(self); }

  static GstBusSyncReply OnMessage(GstBus*, GstMessage* message, gpointer data) {
    const std::shared_ptr<WaveLoop>& self = *static_cast<std::shared_ptr<WaveLoop>*>(data);
    switch (GST_MESSAGE_TYPE(message)) {
      case GST_MESSAGE_ASYNC_DONE:
        if (!self->started_.exchange(true)) self->Later(Step::kStart);
        break;
      case GST_MESSAGE_SEGMENT_DONE: self->Later(Step::kRoundAgain); break;
      default: break;
    }
    return GST_BUS_PASS;
  }

  void Later(Step step) {
    auto* call = new Call{shared_from_this(), step};
    gst_element_call_async(
        pipeline_, [](GstElement*, gpointer data) { static_cast<Call*>(data)->Run(); }, call,
        [](gpointer data) { delete static_cast<Call*>(data); });
  }

  struct Call {
    std::shared_ptr<WaveLoop> loop;
    Step step;
    void Run() const { loop->Take(step); }
  };

  void Take(Step step) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) return;
    const bool first = step == Step::kStart;
    const int flags = GST_SEEK_FLAG_SEGMENT | (first ? GST_SEEK_FLAG_FLUSH : 0);
    const bool seeked = gst_element_seek(pipeline_, 1.0, GST_FORMAT_TIME, static_cast<GstSeekFlags>(flags),
                                         GST_SEEK_TYPE_SET, 0, GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE);
    if (first) {
      gst_element_set_state(pipeline_, GST_STATE_PLAYING);  // without the seek it plays once
    } else if (!seeked) {
      // The loop cannot go round: counted as the end, which the watch starts again.
      gst_element_post_message(pipeline_, gst_message_new_eos(GST_OBJECT(pipeline_)));
    }
  }

  GstElement* const pipeline_;  // owned by the wave sound's Pipeline
  std::atomic<bool> started_{false};
  std::mutex mutex_;
  bool closed_ = false;
};

// --- The backend ---

// The sound behind the command layer.
class GstBackend : public MediaBackend {
 public:
  ~GstBackend() override { StopWave(); }

  std::unique_ptr<MediaStream> OpenFile(const std::string& path, std::uint32_t* error) override;
  std::unique_ptr<CdDrive> OpenCd(std::uint32_t* error) override;
  std::uint32_t WaveOutDevices() override { return Sink().empty() ? 0 : 1; }
  bool PlayWaveLoop(const std::string& path) override;
  void StopWave() override;

 private:
  // The sound output's element, empty when nothing can sound. GStreamer is loaded
  // here, at the first command that needs it: the saver run starts the renderer before
  // its music, and the renderer must inherit none of the descriptors that GStreamer
  // and the sound server's client library open.
  const std::string& Sink();
  bool StartWave(const std::string& path);
  void StopWaveLoop();
  static void WatchWave(void* self);

  bool sink_found_ = false;  // Sink() has looked
  std::string sink_;
  std::unique_ptr<Pipeline> wave_;
  std::shared_ptr<WaveLoop> wave_loop_;  // keeps wave_ going round
  std::string wave_path_;
  bool wave_heard_ = false;  // the wave sound got as far as playing once
};

const std::string& GstBackend::Sink() {
  if (!sink_found_) {
    sink_found_ = true;
    if (gst_init_check(nullptr, nullptr, nullptr)) sink_ = FindSink();
  }
  return sink_;
}

std::unique_ptr<MediaStream> GstBackend::OpenFile(const std::string& path, std::uint32_t* error) {
  if (!Readable(path)) {
    *error = me::kFileNotFound;
    return nullptr;
  }
  GstElement* playbin = Sink().empty() ? nullptr : MakePlaybin(path, sink_);
  if (!playbin) {
    *error = me::kInternal;
    return nullptr;
  }
  auto stream = std::make_unique<FileStream>(playbin, path, sink_);
  if (!stream->Start()) {
    *error = me::kCannotPlayFile;
    return nullptr;
  }
  return stream;
}

std::unique_ptr<CdDrive> GstBackend::OpenCd(std::uint32_t* error) {
  const std::string path = CdioDisc::DevicePath();
  if (path.empty()) {
    *error = me::kCannotLoadDriver;
    return nullptr;
  }
  if (Sink().empty()) {
    *error = me::kInternal;
    return nullptr;
  }
  return std::make_unique<GstCdDrive>(path, sink_);
}

namespace {
constexpr double kWatchSeconds = 0.5;
constexpr double kRetrySeconds = 1.0;
}  // namespace

bool GstBackend::PlayWaveLoop(const std::string& path) {
  StopWave();
  if (!Readable(path) || !IsWave(path) || Sink().empty() || !StartWave(path)) return false;
  wave_path_ = path;
  Fl::add_timeout(kWatchSeconds, &GstBackend::WatchWave, this);
  return true;
}

void GstBackend::StopWave() {
  Fl::remove_timeout(&GstBackend::WatchWave, this);
  StopWaveLoop();
  wave_path_.clear();
  wave_heard_ = false;
}

bool GstBackend::StartWave(const std::string& path) {
  GstElement* playbin = MakePlaybin(path, sink_);
  if (!playbin) return false;
  wave_ = std::make_unique<Pipeline>(playbin);
  wave_loop_ = std::make_shared<WaveLoop>(playbin);
  wave_loop_->Watch();
  // Paused first: the loop's first seek needs the prerolled pipeline, and it sets it
  // playing.
  if (!wave_->SetState(GST_STATE_PAUSED)) {
    StopWaveLoop();
    return false;
  }
  return true;
}

void GstBackend::StopWaveLoop() {
  if (wave_loop_) wave_loop_->Close();
  wave_loop_.reset();
  wave_.reset();
}

// The wave sound's bus, read from the event loop. A sound that never started (a file
// the decoders refuse) is let go; one that was heard and then stopped lost its sound
// output, and is started again from its beginning every second until the output is
// back.
void GstBackend::WatchWave(void* self) {
  GstBackend* backend = static_cast<GstBackend*>(self);
  if (backend->wave_) {
    backend->wave_->Drain();
    if (backend->wave_->prerolled) backend->wave_heard_ = true;
    if (!backend->wave_->failed && !backend->wave_->ended) {
      Fl::repeat_timeout(kWatchSeconds, &GstBackend::WatchWave, self);
      return;
    }
    backend->StopWaveLoop();
    if (!backend->wave_heard_) return;
  }
  const bool started = backend->StartWave(backend->wave_path_);
  Fl::repeat_timeout(started ? kWatchSeconds : kRetrySeconds, &GstBackend::WatchWave, self);
}

// --- The commands ---

GstMedia::GstMedia()
    : backend_(std::make_unique<GstBackend>()), layer_(std::make_unique<MediaLayer>(*backend_)) {}

GstMedia::~GstMedia() = default;

std::uint32_t GstMedia::SendString(const std::string& command, char* reply, std::uint32_t length) {
  return layer_->SendString(command, reply, length);
}

bool GstMedia::GetErrorString(std::uint32_t code, char* text, std::uint32_t length) {
  return layer_->GetErrorString(code, text, length);
}

std::uint32_t GstMedia::WaveOutDevices() { return layer_->WaveOutDevices(); }

bool GstMedia::PlayWave(const char* name, std::uint32_t flags) { return layer_->PlayWave(name, flags); }

void GstMedia::CloseAll() { layer_->CloseAll(); }
