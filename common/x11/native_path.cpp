// Linux side of the path layer: Windows drives live under the user's XDG data folder.
#include "windows_path.h"

#include "x11/xdg.h"

#include <cctype>

namespace {

std::string DrivesDir() { return XdgFolder("XDG_DATA_HOME", ".local/share") + "/veloran/drives"; }

}  // namespace

std::string NativePath(std::string_view windows_path) { return MapWindowsPath(windows_path, DrivesDir()); }

std::string DriveRoot(char drive_letter) {
  return DrivesDir() + '/' + static_cast<char>(std::tolower(static_cast<unsigned char>(drive_letter)));
}
