// The skin built into the program: "Office2007 Blue (internal)", a packed
// container made at build time from assets/skins/office2007-blue (library
// vm_builtin_skin).
#pragma once

#include <cstdint>
#include <span>

namespace vm {

constexpr const char* BuiltinSkinName = "Office2007 Blue (internal)";

// The container bytes, embedded in the executable.
std::span<const std::uint8_t> BuiltinSkinContainer();

}  // namespace vm
