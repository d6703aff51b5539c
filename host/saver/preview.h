#pragma once
// The preview form Veloran_R: a borderless black window, captioned "Preview Window",
// made a child of the window whose number follows /p on the command line, sized to
// fill it, with the still picture at its top-left. The program lives while it does.

#include <cstdint>
#include <memory>
#include <string>

#include "runtime.h"

// The window number from the command line: the text from its fourth character on,
// leading blanks skipped, then an optional sign and decimal digits as far as they go
// (a fraction is rounded to the nearest integer, halves to even). No number, or one
// outside the 32-bit range, gives 0. With `hex`, "0x" followed by hex digits is read
// as well (X window ids are usually written that way).
// "/p 1234" and "/p:1234" both give 1234.
std::int32_t PreviewWindowNumber(const std::string& command_line, bool hex);

class PreviewForm {
 public:
  explicit PreviewForm(Runtime& rt) : rt_(rt) {}

  // The preview set-up of Main for the window number on `command_line`. When that
  // number names no window the program ends at once: there is nothing to draw into
  // and nobody could close the form.
  void Load(const std::string& command_line);

 private:
  // The form's unload: the owner is looked up (and not used), and a close request
  // goes to the form's own window.
  void Unload();

  Runtime& rt_;
  std::unique_ptr<PreviewWindow> window_;
};
