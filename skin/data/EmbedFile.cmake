# Writes a C++ source that holds the bytes of INPUT as the built-in skin's
# container: cmake -DINPUT=<file> -DOUTPUT=<cpp> -P EmbedFile.cmake
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){24})" "\\1\n    " bytes "${bytes}")
file(WRITE ${OUTPUT} "// Generated from the packed built-in skin; do not edit.
#include \"skin/data/BuiltinSkin.h\"

namespace vm {
namespace {
const std::uint8_t kBuiltinSkin[${size}] = {
    ${bytes}};
}  // namespace

std::span<const std::uint8_t> BuiltinSkinContainer() { return {kBuiltinSkin, ${size}}; }

}  // namespace vm
")
