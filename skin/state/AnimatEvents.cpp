#include "skin/state/AnimatEvents.h"

#include "skin/data/AnimEffects.h"

namespace vm {

namespace {

// The button event of the manager's options that stands for the transition.
TnxBtnEvents GlobalEventOf(TnxAnimatEvent event) {
  switch (event) {
    case aeMouseEnter:
      return beMouseEnter;
    case aeMouseLeave:
      return beMouseLeave;
    case aeMouseDown:
      return beMouseDown;
    case aeMouseUp:
      return beMouseUp;
    default:
      return 0;
  }
}

}  // namespace

bool AnimatesOn(TnxAnimatEvents events, TnxAnimatEvent event) {
  if (events & event) return true;
  return (events & aeGlobalDef) && (GlobalBtnEvents() & GlobalEventOf(event));
}

}  // namespace vm
