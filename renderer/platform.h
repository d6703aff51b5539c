#pragma once
// What the renderer's platform-free logic needs from its platform layer
// (renderer/x11 or renderer/win32). Tests link their own doubles.

// A message box owned by the focused window, titled "Error", with an OK button
// only; on Linux the text also goes to standard error.
void ShowErrorBox(const char* text);

// Shows the frame just drawn (SwapBuffers of the window's device context).
void SwapSceneBuffers();
