// Test helper: a renderer that comes up late, as one does on hardware whose display
// switch takes a while. Installed as Veloran.dll beside the host, it waits
// VELORAN_LATE_MS milliseconds (1500 when unset), then runs the real renderer from
// the folder "real" beside it, with no arguments, and ends with its exit code.
// On Linux, VELORAN_FD_LIST=FILE first writes the descriptors it was started with
// (one number per line) to FILE: what it inherited, the real renderer inherits too.
#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <unistd.h>
#endif

namespace {

int DelayMs() {
  const char* value = std::getenv("VELORAN_LATE_MS");
  return value && *value ? std::atoi(value) : 1500;
}

}  // namespace

#ifdef _WIN32

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string real = self;
  real = real.substr(0, real.rfind('\\')) + "\\real\\Veloran.dll";
  Sleep(static_cast<DWORD>(DelayMs()));
  std::string command = "\"" + real + "\"";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(real.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return 3;
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  return static_cast<int>(code);
}

#else

int main(int, char** argv) {
  if (const char* list = std::getenv("VELORAN_FD_LIST")) {
    if (FILE* out = std::fopen(list, "w")) {
      const int own = fileno(out);
      if (DIR* dir = opendir("/proc/self/fd")) {
        while (dirent* entry = readdir(dir)) {
          if (entry->d_name[0] == '.') continue;
          const int fd = std::atoi(entry->d_name);
          if (fd != own && fd != dirfd(dir)) std::fprintf(out, "%d\n", fd);
        }
        closedir(dir);
      }
      std::fclose(out);
    }
  }
  std::string real = argv[0];
  real = real.substr(0, real.rfind('/') + 1) + "real/Veloran.dll";
  usleep(static_cast<useconds_t>(DelayMs()) * 1000);
  char* args[] = {&real[0], nullptr};
  execv(real.c_str(), args);
  return 3;
}

#endif
