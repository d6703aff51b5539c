// The audio CD through libcdio (see cdio_disc.h).
#include "cdio_disc.h"

#include <cdio/cdio.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <thread>

struct CdioDisc::Shared {
  mutable std::mutex mutex;
  CdDrive::Disc state = CdDrive::Disc::kPending;
  std::vector<DiscTrack> tracks;
  CdIo_t* cdio = nullptr;
  bool abandoned = false;  // the disc was closed before its contents were read
};

namespace {

bool EndsWith(const std::string& text, const char* ending) {
  const std::string e = ending;
  if (text.size() < e.size()) return false;
  for (std::size_t i = 0; i < e.size(); ++i) {
    char c = text[text.size() - e.size() + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != e[i]) return false;
  }
  return true;
}

// Opens the drive or image and reads its table of contents; null when the disc holds
// no sound.
CdIo_t* ReadContents(const std::string& path, std::vector<DiscTrack>* tracks) {
  const driver_id_t driver = EndsWith(path, ".cue")   ? DRIVER_BINCUE
                             : EndsWith(path, ".nrg") ? DRIVER_NRG
                                                      : DRIVER_DEVICE;
  CdIo_t* cdio = cdio_open(path.c_str(), driver);
  if (!cdio) return nullptr;
  const track_t first = cdio_get_first_track_num(cdio);
  const track_t count = cdio_get_num_tracks(cdio);
  bool any_audio = false;
  if (first != CDIO_INVALID_TRACK && count != CDIO_INVALID_TRACK && count > 0) {
    for (int t = first; t < first + count; ++t) {
      const lsn_t start = cdio_get_track_lsn(cdio, static_cast<track_t>(t));
      if (start == CDIO_INVALID_LSN) break;
      DiscTrack track;
      track.number = t;
      track.start = start;
      track.audio = cdio_get_track_format(cdio, static_cast<track_t>(t)) == TRACK_FORMAT_AUDIO;
      tracks->push_back(track);
    }
    const lsn_t lead_out = cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK);
    if (tracks->size() != count || lead_out == CDIO_INVALID_LSN) tracks->clear();
    for (std::size_t i = 0; i < tracks->size(); ++i) {
      const std::int32_t next = i + 1 < tracks->size() ? (*tracks)[i + 1].start : lead_out;
      (*tracks)[i].length = next - (*tracks)[i].start;
      if ((*tracks)[i].length <= 0) {  // a table of contents out of order
        tracks->clear();
        break;
      }
      any_audio = any_audio || (*tracks)[i].audio;
    }
  }
  if (!any_audio) {
    tracks->clear();
    cdio_destroy(cdio);
    return nullptr;
  }
  return cdio;
}

}  // namespace

std::string CdioDisc::DevicePath() {
  std::string path;
  if (const char* named = std::getenv("VELORAN_CD_DEVICE"); named && *named) {
    path = named;
  } else {
    driver_id_t driver = DRIVER_DEVICE;
    if (char* found = cdio_get_default_device_driver(&driver)) {
      path = found;
      std::free(found);
    }
  }
  if (path.empty() || access(path.c_str(), R_OK) != 0) return "";
  return path;
}

CdioDisc::CdioDisc(const std::string& path) : shared_(std::make_shared<Shared>()) {
  std::thread([shared = shared_, path] {
    std::vector<DiscTrack> tracks;
    CdIo_t* cdio = ReadContents(path, &tracks);
    std::lock_guard<std::mutex> lock(shared->mutex);
    if (shared->abandoned) {
      if (cdio) cdio_destroy(cdio);
      return;
    }
    shared->cdio = cdio;
    shared->tracks = std::move(tracks);
    shared->state = cdio ? CdDrive::Disc::kReady : CdDrive::Disc::kUnusable;
  }).detach();
}

CdioDisc::~CdioDisc() {
  std::lock_guard<std::mutex> lock(shared_->mutex);
  shared_->abandoned = true;
  if (shared_->cdio) cdio_destroy(shared_->cdio);
  shared_->cdio = nullptr;
}

CdDrive::Disc CdioDisc::State() const {
  std::lock_guard<std::mutex> lock(shared_->mutex);
  return shared_->state;
}

std::vector<DiscTrack> CdioDisc::Tracks() const {
  std::lock_guard<std::mutex> lock(shared_->mutex);
  return shared_->tracks;
}

bool CdioDisc::Read(std::int32_t sector, int count, void* buffer) {
  CdIo_t* cdio = nullptr;
  {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    cdio = shared_->cdio;
  }
  return cdio && count > 0 &&
         cdio_read_audio_sectors(cdio, buffer, sector, static_cast<unsigned>(count)) == DRIVER_OP_SUCCESS;
}
