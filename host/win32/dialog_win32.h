#pragma once
// The settings dialog's window on Windows: the "<Veloran>" top-level window (caption
// and close box, fixed size), its panel, labels, radio marks, track combo box and
// three Veloran.Command buttons at the layout's places, the system's open-file
// dialog (GetOpenFileNameA), ShellExecuteA, and the modal loop.
#include "runtime.h"

class DialogEvents;

// Builds the dialog, sends it Load, shows it and runs its messages until it is gone.
void RunSettingsDialog(Runtime& rt, DialogEvents& events);
