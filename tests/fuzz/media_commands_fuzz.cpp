// The Linux media-command layer on any command strings, over a stand-in for the
// sound backend whose disc, files and sound the input also decides.
//
// Input: one byte of backend settings, one byte holding the number of tracks, three
// bytes per track (length in sectors, low byte first; whether it holds sound), then
// lines: a command, or "#" and a letter that changes the backend (e ends the sound,
// r makes the disc ready, p pending, u unusable, a moves the sound along).
//
// Properties: replies fit their buffer and are NUL-terminated, every error code
// has a text, and the backend is only asked to play sectors of the disc, from before
// where they end, and parts of a file within its length.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "media_layer.h"

namespace {

struct Backend : MediaBackend {
  struct Sound {
    bool playing = false;
    std::int64_t position = 0;
  };

  struct Stream : MediaStream {
    Stream(Sound& s, std::int64_t length) : sound(s), length_ms(length) {}
    bool Play(std::int64_t from, std::int64_t to) override {
      if (length_ms >= 0) FUZZ_CHECK(from <= length_ms && to <= length_ms);
      FUZZ_CHECK(to < 0 || from < 0 || from <= to);
      sound.playing = true;
      if (from >= 0) sound.position = from;
      return true;
    }
    void Stop() override { sound.playing = false; }
    bool Playing() override { return sound.playing; }
    std::int64_t PositionMs() override { return sound.position; }
    std::int64_t LengthMs() override { return length_ms; }
    Sound& sound;
    std::int64_t length_ms;
  };

  struct Drive : CdDrive {
    explicit Drive(Backend& b) : backend(b) {}
    Disc State() override { return backend.disc; }
    std::vector<DiscTrack> Tracks() override {
      FUZZ_CHECK(backend.disc == Disc::kReady);
      return backend.tracks;
    }
    bool Play(std::int32_t from, std::int32_t to) override {
      FUZZ_CHECK(backend.disc == Disc::kReady);
      FUZZ_CHECK(from >= backend.tracks.front().start && from < to);
      FUZZ_CHECK(to <= backend.tracks.back().start + backend.tracks.back().length);
      backend.sound.playing = true;
      backend.sound.position = from;
      end = to;
      return true;
    }
    void Stop() override { backend.sound.playing = false; }
    bool Playing() override { return backend.sound.playing; }
    std::int32_t Position() override {
      return static_cast<std::int32_t>(std::min<std::int64_t>(backend.sound.position, end));
    }
    Backend& backend;
    std::int32_t end = 0;
  };

  std::unique_ptr<MediaStream> OpenFile(const std::string&, std::uint32_t* error) override {
    if (!files_open) {
      *error = media_error::kFileNotFound;
      return nullptr;
    }
    return std::make_unique<Stream>(sound, file_length_ms);
  }
  std::unique_ptr<CdDrive> OpenCd(std::uint32_t* error) override {
    if (!drive) {
      *error = media_error::kCannotLoadDriver;
      return nullptr;
    }
    return std::make_unique<Drive>(*this);
  }
  std::uint32_t WaveOutDevices() override { return 1; }
  bool PlayWaveLoop(const std::string&) override { return true; }
  void StopWave() override {}

  CdDrive::Disc disc = CdDrive::Disc::kReady;
  std::vector<DiscTrack> tracks;
  bool drive = true;
  bool files_open = true;
  std::int64_t file_length_ms = 3000;
  Sound sound;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  Backend backend;
  const std::uint8_t settings = data[0];
  backend.disc = static_cast<CdDrive::Disc>(settings % 3);
  backend.drive = !(settings & 0x04);
  backend.files_open = !(settings & 0x08);
  backend.file_length_ms = (settings & 0x10) ? -1 : 3000;
  // A disc the drive calls ready has at least one track of sound, as the real
  // drive reports it.
  const std::size_t count = 1 + data[1] % 8;
  std::size_t at = 2;
  std::int32_t start = 0;
  for (std::size_t i = 0; i < count && at + 3 <= size; ++i, at += 3) {
    const std::int32_t length = 1 + (data[at] | (data[at + 1] << 8));
    backend.tracks.push_back({static_cast<int>(i + 1), start, length, (data[at + 2] & 1) == 0});
    start += length;
  }
  bool any_audio = false;
  for (const DiscTrack& t : backend.tracks) any_audio = any_audio || t.audio;
  if (!any_audio) backend.tracks.push_back({static_cast<int>(backend.tracks.size() + 1), start, 300, true});

  MediaLayer layer(backend);
  std::string_view script(reinterpret_cast<const char*>(data) + at, size - at);
  static const std::uint32_t kLengths[] = {0, 1, 8, 64, 512};
  for (std::size_t line = 0; !script.empty(); ++line) {
    const std::size_t end = script.find('\n');
    const std::string command(script.substr(0, end));
    script.remove_prefix(end == std::string_view::npos ? script.size() : end + 1);
    if (command.size() >= 2 && command[0] == '#') {
      switch (command[1]) {
        case 'e': backend.sound.playing = false; break;
        case 'r': backend.disc = CdDrive::Disc::kReady; break;
        case 'p': backend.disc = CdDrive::Disc::kPending; break;
        case 'u': backend.disc = CdDrive::Disc::kUnusable; break;
        case 'a': backend.sound.position += 75 * (command.size() - 1); break;
      }
      continue;
    }
    const std::uint32_t length = kLengths[line % 5];
    std::vector<char> reply(length + 1, '\x55');
    const std::uint32_t code = layer.SendString(command, length ? reply.data() : nullptr, length);
    FUZZ_CHECK(reply[length] == '\x55');
    if (length > 0) {
      const std::size_t n = std::strlen(reply.data());
      FUZZ_CHECK(n < length);
      FUZZ_CHECK(code == 0 || code == media_error::kReplyTooLong || n == 0);
    }
    if (code != 0) {
      char text[128];
      FUZZ_CHECK(layer.GetErrorString(code, text, sizeof text));
      FUZZ_CHECK(text[0] != '\0');
    }
  }
  layer.CloseAll();
  FUZZ_CHECK(!backend.sound.playing);
  return 0;
}
