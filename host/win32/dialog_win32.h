#pragma once
// The settings dialog's window on Windows: the "<Veloran>" top-level window (caption
// and close box, fixed size), its panel, labels, radio marks, track combo box and
// three Veloran.Command buttons at the layout's places, the system's open-file
// dialog, ShellExecuteA, and the modal loop.
//  [X] the keyboard through the system's dialog manager (IsDialogMessage): Tab and
//      Shift+Tab in the layout's order, the arrows through the kinds' marks (one
//      group of radio buttons), Space on a button or a mark; the dialog starts with
//      the focus where the Linux dialog does
//  [X] the open-file dialog and the message box in UTF-16: Japanese at any code page
//  [X] the window's sizes at the screen's resolution (twips per pixel from the system)
//  [ ] Enter and Esc: the dialog has no default and no cancel button (as described)
//  [ ] shortcut letters: no label or button has one
#include "runtime.h"

class DialogEvents;

// Builds the dialog, sends it Load, shows it and runs its messages until it is gone.
void RunSettingsDialog(Runtime& rt, DialogEvents& events);
