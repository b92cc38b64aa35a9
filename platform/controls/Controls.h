// The standard window classes of the platform layer.
//
// RegisterStandardControls() registers every class below once per run; it is
// safe to call again. Each class keeps its per-window object in the window's
// extra bytes (offset 0), never in GWLP_USERDATA, which belongs to the
// application.
#pragma once

namespace vm {

void RegisterStandardControls();

}  // namespace vm
