// TnxAnimatEvents: which mouse transitions of a skinned control cross-fade.
//
// A control lists the transitions it fades itself, or defers to the
// process-wide set of the skin manager's button options (aeGlobalDef).
#pragma once

namespace vm {

enum TnxAnimatEvent : unsigned {
  aeMouseEnter = 1u << 0,
  aeMouseLeave = 1u << 1,
  aeMouseDown = 1u << 2,
  aeMouseUp = 1u << 3,
  aeGlobalDef = 1u << 4,
};
using TnxAnimatEvents = unsigned;  // a set of TnxAnimatEvent bits

// Whether the transition fades under the control's set: listed in it, or
// listed in the process-wide set when the control's set holds aeGlobalDef.
bool AnimatesOn(TnxAnimatEvents events, TnxAnimatEvent event);

}  // namespace vm
