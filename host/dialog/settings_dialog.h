#pragma once
// "Veloran_P", the settings dialog: the user picks the music of the saver runs (none,
// an audio CD with a track to repeat, or an MP3 or WAV file); Set writes the choice
// into the settings file and closes (when the file cannot be written it says so and
// stays open), Cancel closes without writing. It edits the music settings in memory
// directly; only Set reaches the file.

#include <cstdint>
#include <string>
#include <vector>

#include "dialog_view.h"
#include "runtime.h"
#include "settings.h"
#include "zoom.h"

// The background's colour on row i of a client area `height` rows high (rows 0 to
// height inclusive): dark blue-black at the edges, (220, 220, 250) in the middle.
RowColour BackgroundRow(int i, int height);
std::vector<RowColour> BackgroundRows(int height);

// Where copies of a tile go to cover a panel: columns left to right, each top to bottom.
std::vector<PixelPoint> TileOrigins(int panel_width, int panel_height, int tile_width, int tile_height);

// The track typed or picked in the combo box: a decimal number (ParseDecimal, as in
// the settings file) rounded halves-to-even and held to the 16-bit range;
// 0 for anything that is not a number. "2.5" -> 2, "3.5" -> 4, "abc" -> 0, "" -> 0,
// "99999" -> 32767.
std::int16_t TrackFromText(const std::string& text);
// A track as the pattern "##" shows it: 0 gives "", others their digits.
std::string TrackText(long track);

class SettingsDialog : public DialogEvents {
 public:
  // `music` is edited in place; `zoom` is the point the dialog zooms out of and back into.
  SettingsDialog(Runtime& rt, MusicSettings& music, ZoomPoint& zoom);

  void Load(DialogView& view) override;
  void Resize() override;
  void Unload() override;
  void KindPressed(int index) override;
  void AddressClicked() override;

  // The Click handlers of the three buttons (wired by Load).
  void ChooseFile();
  void Save();
  void Cancel();

 private:
  void ApplyKind(int index);
  void ShowMarks(int selected);

  Runtime& rt_;
  MusicSettings& music_;
  ZoomPoint& zoom_;
  DialogView* view_ = nullptr;
};
