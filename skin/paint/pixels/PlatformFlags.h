// Facts about the platform that the painting code consults often, recorded
// once by the program at start-up before any window exists.
#pragma once

namespace vm {

// The operating system belongs to the NT family (platform identifier 2 of
// the version record). False until the program records it.
extern bool IsNTFamily;

}  // namespace vm
