# Writes a C++ source holding the stored glyphs and icons of app/glyphs:
# cmake -DINPUT_DIR=<folder> -DOUTPUT=<cpp> -P EmbedGlyphs.cmake
# Appends to `arrays` a byte array k_<name> holding the file's bytes, and sets
# <count_var> to their number.
function(embed_file file name count_var)
  file(READ ${file} hex HEX)
  string(LENGTH "${hex}" hexLength)
  math(EXPR count "${hexLength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){24})" "\\1\n    " bytes "${bytes}")
  set(arrays "${arrays}const std::uint8_t k_${name}[${count}] = {\n    ${bytes}};\n" PARENT_SCOPE)
  set(${count_var} ${count} PARENT_SCOPE)
endfunction()

set(names open save resize quality undo about exit)
set(enums Open Save Resize Quality Undo About Exit)
set(arrays "")
set(cases "")
foreach(i RANGE 6)
  list(GET names ${i} name)
  list(GET enums ${i} enum)
  embed_file(${INPUT_DIR}/${name}.glyph ${name} size)
  string(APPEND cases "    case TGlyph::${enum}:\n      return {k_${name}, ${size}};\n")
endforeach()
set(icon_cases "")
foreach(size 16 32)
  embed_file(${INPUT_DIR}/icon${size}.bgra icon${size} count)
  math(EXPR expected "${size} * ${size} * 4")
  if(NOT count EQUAL expected)
    message(FATAL_ERROR "icon${size}.bgra holds ${count} bytes, not ${expected}")
  endif()
  string(APPEND icon_cases "    case ${size}:\n      return {k_icon${size}, ${count}};\n")
endforeach()
file(WRITE ${OUTPUT} "// Generated from app/glyphs/*.glyph and *.bgra; do not edit.
#include \"app/StoredGlyphs.h\"

namespace vm::app {
namespace {
${arrays}}  // namespace

std::span<const std::uint8_t> StoredGlyphData(TGlyph glyph) {
  switch (glyph) {
${cases}  }
  return {};
}

std::span<const std::uint8_t> StoredIconData(int size) {
  switch (size) {
${icon_cases}  }
  return {};
}

}  // namespace vm::app
")
