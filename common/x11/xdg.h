#pragma once
// Per-user base folders of the XDG convention, for Veloran's files on Linux.

#include <string>

// The folder named by `variable` (XDG_DATA_HOME, XDG_CONFIG_HOME...) when it holds
// an absolute path, else $HOME/`fallback` (".local/share", ".config"...).
std::string XdgFolder(const char* variable, const char* fallback);
