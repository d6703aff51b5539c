// XDG base folders, read from the environment.
#include "x11/xdg.h"

#include <cstdlib>

std::string XdgFolder(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return value;
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/" + fallback;
}
