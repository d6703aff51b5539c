#pragma once
// The settings dialog's window as its platform builds it, and the notifications it
// sends: what the dialog's behaviour (settings_dialog.h) needs of Windows or FLTK.
//
// The window and its controls stand where dialog_layout.h places them. Fixed texts
// are UTF-8; the music file's path travels in the platform's own spelling, as the
// settings file stores it.

#include <cstdint>
#include <string>
#include <vector>

#include "command_button.h"
#include "runtime.h"

// The dialog's three Command buttons.
enum class DialogButton { File, Set, Cancel };

struct RowColour {
  std::uint8_t red, green, blue;
  bool operator==(const RowColour& o) const { return red == o.red && green == o.green && blue == o.blue; }
};

struct PixelPoint {
  int x, y;
  bool operator==(const PixelPoint& o) const { return x == o.x && y == o.y; }
};

enum class ScreenPointer { Default, Hourglass };

// What the system's open-file dialog is opened with.
struct OpenFileRequest {
  WindowHandle owner = 0;
  std::string filter_name;     // UTF-8
  std::string filter_pattern;  // "*.MP3;*.WAV"
  std::string initial_folder;  // the platform's spelling
  std::string title;           // UTF-8
  unsigned max_file = 0;       // size of the file-name buffer
};

class DialogView {
 public:
  virtual ~DialogView() = default;

  virtual WindowHandle Handle() = 0;
  // The screen's and the window's (outer) sizes in twips; the window's position.
  virtual int ScreenWidthTwips() = 0;
  virtual int ScreenHeightTwips() = 0;
  virtual int WidthTwips() = 0;
  virtual int HeightTwips() = 0;
  virtual void MoveTo(int left_twips, int top_twips) = 0;
  // The client area in pixels.
  virtual int ClientWidth() = 0;
  virtual int ClientHeight() = 0;

  // Draws row i of the client area, all across, in rows[i].
  virtual void PaintBackground(const std::vector<RowColour>& rows) = 0;
  // Draws the strip picture on the panel with its top-left corner at each point.
  virtual void TilePanel(const std::vector<PixelPoint>& origins) = 0;

  // Every Command control of the form, and each by its role.
  virtual std::vector<CommandButton*> CommandControls() = 0;
  virtual CommandButton& Button(DialogButton which) = 0;

  // The track combo box.
  virtual void SetRepeatEnabled(bool enabled) = 0;
  virtual void SetRepeatText(const std::string& text) = 0;
  virtual void AddRepeatItem(const std::string& text) = 0;
  virtual std::string RepeatText() = 0;

  // The radio mark of kind `index` (0 none, 1 CD, 2 file) shows the selected or the
  // unselected picture.
  virtual void SetKindMark(int index, bool selected) = 0;
  // The file label's caption: the path as stored.
  virtual void SetFileLabel(const std::string& path) = 0;

  // The pointer's screen position in pixels; false when it cannot be read.
  virtual bool PointerPosition(int* x, int* y) = 0;
  virtual void SetScreenPointer(ScreenPointer pointer) = 0;

  // The system's open-file dialog, modal to this window. Returns a value greater
  // than 0 when a file was chosen, with its path in *chosen; 0 when cancelled.
  virtual std::int32_t OpenFile(const OpenFileRequest& request, std::string* chosen) = 0;
  // Asks the desktop to open an address, owned by this window; its result is not used.
  virtual void ShellOpen(const std::string& address) = 0;
  // A message box owned by this window and modal to it, titled kMessageTitle, with an
  // OK button: `text` and, on a line of its own below it, `path` (the platform's
  // spelling). Returns once it is answered.
  virtual void ShowMessage(const std::string& text, const std::string& path) = 0;

  // Closes the window: the Unload notification runs, then the window goes and the
  // modal show returns.
  virtual void Unload() = 0;
};

// The notifications of the dialog's window and controls.
class DialogEvents {
 public:
  virtual ~DialogEvents() = default;
  // The window and its controls exist, not yet shown.
  virtual void Load(DialogView& view) = 0;
  virtual void Resize() = 0;
  // The window is about to go (Set, Cancel, the close box, the system).
  virtual void Unload() = 0;
  // A mouse button, any of them, pressed on a kind's radio mark or its label.
  virtual void KindPressed(int index) = 0;
  virtual void AddressClicked() = 0;
};
