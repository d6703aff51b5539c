// Linux side of the path layer: Windows drives live under the user's XDG data folder.
#include "windows_path.h"

#include <cctype>
#include <cstdlib>

namespace {

std::string DrivesDir() {
  const char* data_home = std::getenv("XDG_DATA_HOME");
  std::string base;
  if (data_home && data_home[0] == '/') {
    base = data_home;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home && *home ? home : ".") + "/.local/share";
  }
  return base + "/veloran/drives";
}

}  // namespace

std::string NativePath(std::string_view windows_path) {
  return MapWindowsPath(windows_path, DrivesDir());
}

std::string DriveRoot(char drive_letter) {
  return DrivesDir() + '/' +
         static_cast<char>(std::tolower(static_cast<unsigned char>(drive_letter)));
}
