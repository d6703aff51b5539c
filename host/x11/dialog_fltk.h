#pragma once
// The settings dialog's window in FLTK: a fixed-size double-buffered window with the
// controls of dialog_layout.h (the panel, transparent labels, radio marks, the track
// combo box and three Command widgets), the system's file chooser, xdg-open, and an
// FLTK message box.
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
  Runtime& rt_;
  DialogEvents& events_;
  std::unique_ptr<Parts> parts_;
  bool closed_ = false;
};
