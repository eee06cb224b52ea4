# Turns a file into a C++ header holding its bytes: cmake -DINPUT=... -DOUTPUT=... -P embed.cmake
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp" "// Generated from ${INPUT}; do not edit.\n#pragma once\nnamespace ct {\ninline constexpr unsigned char kPreludeData[] = {\n${bytes}\n};\n}  // namespace ct\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
