// The subclass objects this layer offers the control adapter, one factory per
// class-list kind. The program (or the frame layer's set-up) registers them
// once before forms are skinned; the same call registers the kinds the dialog
// provider gives a platform dialog's windows (SubclassKinds.h).
#pragma once

namespace vm {

// Registers the push-button subclass for the ThirdButtons list and the
// skinned scroll bars the skinned controls ask for. The other kinds have no
// subclass object yet: their controls keep the platform's look.
void RegisterAdapterSubclasses();

}  // namespace vm
