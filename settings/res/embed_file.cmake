# Writes a C++ source that holds a file's bytes as an array, so a picture
# reaches the program and its tests without a resource script.
#   cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DSYMBOL=<name> -P embed_file.cmake
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){24})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}"
  "// Made from ${INPUT} by embed_file.cmake; not to be edited.\n"
  "#include <cstddef>\n#include <cstdint>\n\n"
  "extern const uint8_t ${SYMBOL}[];\nextern const size_t ${SYMBOL}Size;\n"
  "const uint8_t ${SYMBOL}[] = {\n${bytes}\n};\n"
  "const size_t ${SYMBOL}Size = sizeof ${SYMBOL};\n")
