// Runs a script of profile reads and writes against one file through GetIni / PutIni
// and prints what each step gave. Built for both platforms from this one source so
// that the two implementations can be compared on the same scripts.
//
//   profile_driver SCRIPT FOLDER
//
// Script lines (fields separated by one TAB; \xNN, \t, \\ escapes; # starts a comment):
//   case NAME                the following steps work on FOLDER/NAME.ini (removed first)
//   init BYTES               writes the file with exactly these bytes
//   get SECTION KEY          prints "get <value>"
//   put SECTION KEY VALUE    prints "put <1 when API_Result is non-zero, else 0>"
//   dump                     prints "file <bytes>", or "file (missing)"
// Values are printed with bytes outside 0x20..0x7E and the backslash as \xNN.
// Each case has a file name of its own, so no cached copy of an earlier file can
// answer for it.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "platform_profile.h"
#include "settings.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Unescape(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\' || i + 1 >= field.size()) {
      out += field[i];
    } else if (field[i + 1] == 't') {
      out += '\t', ++i;
    } else if (field[i + 1] == '\\') {
      out += '\\', ++i;
    } else if (field[i + 1] == 'x' && i + 3 < field.size() && HexDigit(field[i + 2]) >= 0 &&
               HexDigit(field[i + 3]) >= 0) {
      out += static_cast<char>(HexDigit(field[i + 2]) * 16 + HexDigit(field[i + 3]));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

std::string Escape(const std::string& value) {
  std::string out;
  char hex[8];
  for (unsigned char c : value) {
    if (c < 0x20 || c > 0x7E || c == '\\') {
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, '\t')) fields.push_back(field);
  if (!line.empty() && line.back() == '\t') fields.push_back("");
  return fields;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: profile_driver SCRIPT FOLDER\n";
    return 2;
  }
  std::ifstream script(argv[1], std::ios::binary);
  if (!script) {
    std::cerr << "profile_driver: cannot read " << argv[1] << "\n";
    return 2;
  }
  const std::string folder = argv[2];
  std::string file;
  std::string line;
  int line_number = 0;
  while (std::getline(script, line)) {
    ++line_number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const std::vector<std::string> f = SplitTabs(line);
    if (f[0] == "case" && f.size() == 2) {
      file = folder + PlatformProfile().Paths().separator + f[1] + ".ini";
      std::remove(file.c_str());
      std::cout << "case " << f[1] << "\n";
    } else if (file.empty()) {
      std::cerr << "profile_driver: line " << line_number << " comes before any case\n";
      return 2;
    } else if (f[0] == "init" && f.size() <= 2) {
      std::ofstream out(file, std::ios::binary | std::ios::trunc);
      out << (f.size() == 2 ? Unescape(f[1]) : std::string());
    } else if (f[0] == "dump" && f.size() == 1) {
      std::ifstream in(file, std::ios::binary);
      if (!in) {
        std::cout << "file (missing)\n";
      } else {
        std::ostringstream bytes;
        bytes << in.rdbuf();
        std::cout << "file " << Escape(bytes.str()) << "\n";
      }
    } else if (f[0] == "get" && f.size() == 3) {
      std::cout << "get " << Escape(GetIni(PlatformProfile(), Unescape(f[1]), Unescape(f[2]), file)) << "\n";
    } else if (f[0] == "put" && f.size() == 4) {
      API_Result = 0;
      PutIni(PlatformProfile(), Unescape(f[1]), Unescape(f[2]), Unescape(f[3]), file);
      std::cout << "put " << (API_Result != 0 ? 1 : 0) << "\n";
    } else {
      std::cerr << "profile_driver: bad script line " << line_number << "\n";
      return 2;
    }
  }
  return 0;
}
