#include "windows_path.h"

#include <cctype>

std::string MapWindowsPath(std::string_view windows_path, std::string_view drives_dir) {
  std::string out;
  std::string_view rest = windows_path;
  const bool has_drive =
      rest.size() >= 2 && rest[1] == ':' && std::isalpha(static_cast<unsigned char>(rest[0]));
  if (has_drive) {
    out.assign(drives_dir);
    out += '/';
    out += static_cast<char>(std::tolower(static_cast<unsigned char>(rest[0])));
    rest.remove_prefix(2);
    if (!rest.empty() && rest[0] != '\\' && rest[0] != '/') out += '/';
  }
  for (char c : rest) out += (c == '\\') ? '/' : c;
  return out;
}
