// The subclass objects this layer offers the control adapter, one factory per
// class-list kind. The program (or the frame layer's set-up) registers them
// once before forms are skinned; the same call registers the kinds the dialog
// provider gives a platform dialog's windows (SubclassKinds.h).
#pragma once

namespace vm {

// Registers the subclass objects of the class lists (push buttons, bitmap
// buttons; edits, memos and list boxes; combo boxes; list views; check boxes,
// group boxes, panels, tool bars, status bars), the kinds a platform dialog's
// windows get, and the skinned scroll bars the skinned controls ask for. A
// list or kind without one leaves its controls with the platform's look.
void RegisterAdapterSubclasses();

}  // namespace vm
