// Where the skins shipped with the program live. An installed program finds
// them at <prefix>/share/velmora/skins, by the way from its own folder to
// there (so an installed tree may be moved as a whole); a program run from
// its build tree finds the folder the build packed them into.
#pragma once

#include <string>

namespace vm::app {

// The folder, with a trailing slash, or empty when neither exists.
std::string ShippedSkinFolder();

}  // namespace vm::app
