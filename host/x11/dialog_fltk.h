#pragma once
// The settings dialog's window in FLTK: a fixed-size double-buffered window with the
// controls of dialog_layout.h, the system's file chooser, xdg-open, and a message box.
//  [X] the window: caption, icon, close box only (no minimise or maximise), fixed
//      client size; placed with the frame a window manager puts around it included
//  [X] the shading, the panel's tiled strip, transparent labels (the file label
//      wrapped over two lines, overlong words broken mid-word), radio marks answering
//      any mouse button, the track combo box, three Command widgets (command_fltk.h)
//  [X] the open-file dialog: GTK's through FLTK (FLTK's own when GTK is missing),
//      listing MP3 and WAV files in any case
//  [X] the address to xdg-open with the hand over it, the hourglass meanwhile; the
//      message when Set cannot write (also on standard error)
//  [X] the keyboard as the system's dialog manager has it on Windows: Tab and
//      Shift+Tab, the marks one stop whose arrows move the kind, Space on a mark or
//      a Command button
//  [ ] code page 932: every text is UTF-8 here
//  [ ] the opening and closing outline: the runtime draws it (runtime_x11.h)
#include <memory>
#include <string>
#include <vector>

#include "dialog_view.h"
#include "runtime.h"

class FltkDialog : public DialogView {
 public:
  FltkDialog(Runtime& rt, DialogEvents& events);
  ~FltkDialog() override;

  // Loads the controls, sends Load, shows the window and returns once it is gone.
  void RunModal();

  WindowHandle Handle() override;
  int ScreenWidthTwips() override;
  int ScreenHeightTwips() override;
  int WidthTwips() override;
  int HeightTwips() override;
  void MoveTo(int left_twips, int top_twips) override;
  int ClientWidth() override;
  int ClientHeight() override;
  void PaintBackground(const std::vector<RowColour>& rows) override;
  void TilePanel(const std::vector<PixelPoint>& origins) override;
  std::vector<CommandButton*> CommandControls() override;
  CommandButton& Button(DialogButton which) override;
  void SetRepeatEnabled(bool enabled) override;
  void SetRepeatText(const std::string& text) override;
  void AddRepeatItem(const std::string& text) override;
  std::string RepeatText() override;
  void SetKindMark(int index, bool selected) override;
  void SetFileLabel(const std::string& path) override;
  bool PointerPosition(int* x, int* y) override;
  void SetScreenPointer(ScreenPointer pointer) override;
  std::int32_t OpenFile(const OpenFileRequest& request, std::string* chosen) override;
  void ShellOpen(const std::string& address) override;
  void ShowMessage(const std::string& text, const std::string& path) override;
  void Unload() override;

  // The parts of the window (dialog_fltk.cpp).
  struct Parts;

 private:
  void StepKind(int from, int step);

  Runtime& rt_;
  DialogEvents& events_;
  std::unique_ptr<Parts> parts_;
  bool closed_ = false;
};
