#pragma once
// The background music module as the saver run sees it: the operations it calls at
// the start and end of a run and from its two polling timers.

class Music {
 public:
  virtual ~Music() = default;
  // Audio CD: open the device; poll every 200 ms (plays, restarts, returns to the
  // repeat track); CD_Ok is false once polling should stop; close at the end.
  virtual void CD_Open() = 0;
  virtual void CD_Poll() = 0;
  virtual bool CD_Ok() const = 0;
  virtual void CD_Close() = 0;
  // WAV file (BGM_File of the music settings): loops by itself until stopped.
  virtual void WAV_Play() = 0;
  virtual void WAV_Stop() = 0;
  // MP3 file (BGM_File): open and play; restart from the beginning when it has
  // stopped (polled every second); stop and close.
  virtual void MP3_Open() = 0;
  virtual void MP3_Repeat() = 0;
  virtual void MP3_Close() = 0;
};
