# cmake -DOUTPUT=file.cpp -DINPUTS="name=path|name=path" -P embed.cmake
# Writes a C++ file that holds each input file's bytes as
#   extern const unsigned char <name>[]; extern const std::size_t <name>_size;
set(text "// Made by host/assets/embed.cmake from the committed asset files. Do not edit.\n#include <cstddef>\n\n")
string(REPLACE "|" ";" inputs "${INPUTS}")
foreach(pair IN LISTS inputs)
  string(REPLACE "=" ";" parts "${pair}")
  list(GET parts 0 name)
  list(GET parts 1 path)
  file(READ "${path}" hex HEX)
  string(LENGTH "${hex}" hex_len)
  math(EXPR size "${hex_len} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){24})" "\\1\n" bytes "${bytes}")
  string(APPEND text "extern const unsigned char ${name}[] = {\n${bytes}\n};\nextern const std::size_t ${name}_size = ${size};\n\n")
endforeach()
file(WRITE "${OUTPUT}.new" "${text}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
