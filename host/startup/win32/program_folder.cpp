// Windows: the folder of the running program, from its module file name.
#include <windows.h>

#include <string>

#include "settings.h"

std::string ProgramFolder() {
  char buf[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  std::string path(buf, n);
  const std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}
