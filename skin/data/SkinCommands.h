// The skin command message and its command numbers: the contract between the
// skin manager, the form frames and the skinned controls. The command goes in
// the high 16 bits of the first parameter, a small argument in the low 16 bits;
// the second parameter carries a value (the sending manager, a control, ...).
#pragma once

#include <cstdint>

namespace vm {

constexpr unsigned SM_NIRVEXCMD = 0xA100;

// The Tag of the skin engine's own forms and controls: they are never skinned
// from outside.
constexpr std::intptr_t EngineTag = -98;

enum : int {
  CmdNewSkin = 1,
  CmdRemoveSkin = 2,
  CmdRefresh = 3,
  CmdGetFormFrame = 4,
  CmdGetBackground = 5,
  CmdParentPainted = 6,
  CmdQueryHandled = 7,
  CmdSetPaintSuspended = 8,
  CmdSetSeeThrough = 9,
  CmdQueryStale = 10,
  CmdQueryMark = 11,
  CmdInvalidateIfSeeThrough = 12,
  CmdRepaintSection = 13,
  CmdSetAnimatingChild = 15,
  CmdUpdate = 16,
  CmdInvalidate = 17,
  CmdQuerySeeThrough = 19,
  CmdRefreshBackground = 20,
  CmdGetColour = 21,
  CmdSetMark = 22,
  CmdFadePrepare = 23,
  CmdFadeFrame = 24,
  CmdControlSkinned = 25,
  CmdGetDisabledKind = 26,  // a control's disabled look (TsDisabledKind bits)
  CmdGetCaptionHeight = 27,
  CmdMouseEnter = 29,  // the mouse entered a subclassed window (its manager's hot window)
  CmdMouseLeave = 30,  // the mouse left it
  CmdBeginUpdate = 31,
  CmdEndUpdate = 32,
  CmdGetApplication = 60,
  CmdGetClientOffset = 61,  // a skinned frame's client offset: x in the low 16 bits, y in the high
};

// First message parameter for a command with an argument.
constexpr std::uintptr_t MakeSkinCommand(int command, int argument = 0) {
  return (std::uintptr_t(std::uint16_t(command)) << 16) | std::uint16_t(argument);
}

}  // namespace vm
