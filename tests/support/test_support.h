#pragma once
// What several tests share: colours read back from the screen or a picture, a fresh
// folder of the running test's own on disk, and a file's bytes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <system_error>

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};
inline std::ostream& operator<<(std::ostream& os, const Rgb& c) {
  return os << c.r << "," << c.g << "," << c.b;
}

// Each channel of `got` within `tolerance` of `want`'s; a failure names both.
inline ::testing::AssertionResult Near(const Rgb& got, const Rgb& want, int tolerance) {
  if (std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
      std::abs(got.b - want.b) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got " << got << " want " << want;
}

// An empty folder under the system's temporary folder, named after the running test
// and the moment, so that builds testing at once never share one; it goes, with all
// it holds, when the object does. Used as the path it is.
class TempFolder : public std::filesystem::path {
 public:
  explicit TempFolder(const std::string& prefix) {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    for (char& c : name)
      if (c == '/') c = '_';  // parameterised cases are named "Case/N"
    assign(std::filesystem::temp_directory_path() /
           (prefix + "-" + name + "-" +
            std::to_string(std::chrono::steady_clock::now().time_since_epoch().count())));
    std::filesystem::create_directories(*this);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(*this, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
};

// The whole file, byte for byte; empty when it cannot be read.
inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Replaces the file with exactly these bytes, making its folder first.
inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}
