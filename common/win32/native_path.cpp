// Windows side of the path layer: Windows paths are already native.
#include "windows_path.h"

std::string NativePath(std::string_view windows_path) { return std::string(windows_path); }

std::string DriveRoot(char drive_letter) { return std::string(1, drive_letter) + ":"; }
