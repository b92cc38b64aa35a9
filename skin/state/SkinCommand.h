// Delivery of the skin command message between skinned controls, forms and
// the skin manager, and the two engine-wide values some commands answer
// through.
//
// A command travels as SM_NIRVEXCMD with the command number in the high 16
// bits of WParam, a small argument in its low 16 bits and a value (a manager,
// a control, a bitmap) in LParam. A windowed control with a window gets it by
// send-message, a windowless one through its own WindowProc. Queries answer in
// the message result; a handler that answers a query also leaves the answer
// in LParam, which is how QueryControl reads it back without a window.
#pragma once

#include <functional>
#include <string>

#include "platform/win/WinApi.h"
#include "skin/data/SkinCommands.h"
#include "skin/paint/pixels/BackgroundInfo.h"
#include "toolkit/Messages.h"

namespace vm {

class TComponent;
class TControl;
class TWinControl;
class TCustomForm;

// The command and the argument of a skin command message.
inline int CommandOf(WPARAM w) {
  return int((std::uintptr_t(w) >> 16) & 0xFFFF);
}
inline int ArgumentOf(WPARAM w) {
  return int(std::uintptr_t(w) & 0xFFFF);
}
inline bool IsSkinCommand(const TMessage& m) {
  return m.Msg == SM_NIRVEXCMD;
}

// The answer record of command 5 (CmdGetBackground): the parent that is asked
// writes its cache here; the asking control reads it right after the send.
extern BackgroundInfo BackgroundAnswer;
// The section that command 13 (CmdRepaintSection) leaves alone.
extern std::string CurrentSectionName;

// To a windowed control with a window (not being destroyed) by send-message,
// to a windowless one through its WindowProc; 0 and nothing sent otherwise.
LRESULT SendCommand(TControl* control, int code, LPARAM value = 0, int argument = 0);
// To a window (0 when the handle is not a window).
LRESULT SendCommandToWindow(HWND window, int code, LPARAM value = 0, int argument = 0);
// Whether the window answers the query with 1.
bool QueryWindow(HWND window, int code);
// Runs the query through the control's own WindowProc with value 0; when the
// handler leaves 1 in the value, or there is no window, the answer is whether
// the value is 1; otherwise the window is asked with that value.
bool QueryControl(TControl* control, int code);

// Sends a message to every direct child window of parent.
void BroadcastToChildWindows(HWND parent, UINT msg, WPARAM w, LPARAM l);
// Passes a message on to a control's children: windowless ones and ones
// without a window through their WindowProc, windowed ones that answer
// command 7 by send-message (they pass it on themselves), the other windowed
// ones are walked into. Stops at the first child being destroyed.
void BroadcastToControls(TWinControl* control, TMessage& message);
// The command to every child of the container that is not being destroyed:
// a showing child with a window by send-message, the others (windowless ones
// included) through their WindowProc. An error raised by a child ends the walk.
void SendCommandToChildren(TWinControl* container, int code, LPARAM value = 0, int argument = 0);
// The command to each direct child window (child style) of the window.
void SendCommandToChildWindows(HWND window, int code, LPARAM value = 0);

class TsCommonData;

// Writes a query's answer where both a sent message and QueryControl read it.
inline void AnswerCommand(TMessage& m, LRESULT value) {
  m.Result = value;
  m.LParam = value;
}
// Whether the command's value is the control's own manager: the skin
// commands 1, 2 and 3 are acted on only when they come from it.
bool FromOwnManager(const TsCommonData& data, const TMessage& m);
// The skin commands the engine's controls answer alike: 6 (the parent has
// painted: a painting held back until then is made now, by `repaint`), 7
// (skinned by the engine: 1) and 60 (the program's application). Returns
// whether the command was one of them.
bool HandleCommonCommand(TsCommonData& data, TMessage& m, const std::function<void()>& repaint);

// The first form in the owner chain of a component (a form itself included).
TCustomForm* GetOwnerForm(TComponent* component);
// Command 25 with the control to the form it sits on.
void AnnounceToForm(TControl* control);

}  // namespace vm
