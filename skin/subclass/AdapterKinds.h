// The subclass objects this layer offers the control adapter, one factory per
// class-list kind. The program (or the frame layer's set-up) registers them
// once before forms are skinned; the same call registers the kinds the dialog
// provider gives a platform dialog's windows (SubclassKinds.h).
#pragma once

namespace vm {

// Registers the subclass objects of the class lists (push buttons; edits,
// memos and list boxes; combo boxes; list views) and of a platform dialog's
// kinds, and the skinned scroll bars the skinned controls ask for. Kinds
// without a subclass object keep the platform's look.
void RegisterAdapterSubclasses();

}  // namespace vm
