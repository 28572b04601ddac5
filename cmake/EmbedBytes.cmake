# Writes a C++ source whose function FUNCTION answers the bytes of INPUT as a string_view:
#   cmake -DINPUT=<file> -DOUTPUT=<source> -DFUNCTION=<name> -P EmbedBytes.cmake
# A trailing zero keeps the array from being empty; the view leaves it out.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
set(sixteen "")
foreach(i RANGE 1 16)
  string(APPEND sixteen "0x[0-9a-f][0-9a-f],")
endforeach()
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(${sixteen})" "\\1\n" bytes "${bytes}")
get_filename_component(source_name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.part"
"// Made from ${source_name} when the program was built.\n"
"#include <string_view>\n\n"
"namespace {\nconst unsigned char kBytes[] = {\n${bytes}0};\n}  // namespace\n\n"
"std::string_view ${FUNCTION}() {\n"
"  return std::string_view(reinterpret_cast<const char*>(kBytes), ${size});\n}\n")
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
