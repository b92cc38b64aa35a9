#include "skin/state/SkinCommand.h"

#include <exception>

#include "skin/state/CommonData.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/WinControl.h"

namespace vm {

BackgroundInfo BackgroundAnswer;
std::string CurrentSectionName;

namespace {

bool Destroying(const TControl* c) {
  return c->IsDestroying() || (c->ControlState() & csDestroyingHandle);
}

}  // namespace

bool FromOwnManager(const TsCommonData& data, const TMessage& m) {
  return m.LParam != 0 && m.LParam == reinterpret_cast<LPARAM>(data.GetSkinManager());
}

bool HandleCommonCommand(TsCommonData& data, TMessage& m, const std::function<void()>& repaint) {
  switch (CommandOf(m.WParam)) {
    case CmdParentPainted:
      if (data.PaintSuspended) {
        data.PaintSuspended = false;
        if (repaint) repaint();
      }
      return true;
    case CmdQueryHandled:
      AnswerCommand(m, 1);
      return true;
    case CmdGetApplication:
      AnswerCommand(m, reinterpret_cast<LRESULT>(Application));
      return true;
    default:
      return false;
  }
}

LRESULT SendCommand(TControl* control, int code, LPARAM value, int argument) {
  if (!control || control->IsDestroying()) return 0;
  const WPARAM w = MakeSkinCommand(code, argument);
  if (auto* wc = dynamic_cast<TWinControl*>(control)) {
    if (!wc->HandleAllocated() || Destroying(wc)) return 0;
    return SendMessage(wc->Handle(), SM_NIRVEXCMD, w, value);
  }
  return control->Perform(SM_NIRVEXCMD, w, value);
}

LRESULT SendCommandToWindow(HWND window, int code, LPARAM value, int argument) {
  if (!window || !IsWindow(window)) return 0;
  return SendMessage(window, SM_NIRVEXCMD, MakeSkinCommand(code, argument), value);
}

bool QueryWindow(HWND window, int code) {
  return SendCommandToWindow(window, code) == 1;
}

bool QueryControl(TControl* control, int code) {
  if (!control || control->IsDestroying() || !control->WindowProc) return false;
  TMessage m;
  m.Msg = SM_NIRVEXCMD;
  m.WParam = MakeSkinCommand(code);
  m.LParam = 0;
  TControlRef alive(control);
  control->WindowProc(m);
  auto* wc = dynamic_cast<TWinControl*>(control);
  if (m.LParam == 1 || !alive || !wc || !wc->HandleAllocated()) return m.LParam == 1;
  return SendMessage(wc->Handle(), SM_NIRVEXCMD, m.WParam, m.LParam) == 1;
}

void BroadcastToChildWindows(HWND parent, UINT msg, WPARAM w, LPARAM l) {
  if (!parent || !IsWindow(parent)) return;
  // The next sibling is taken before the send: a receiver may destroy itself.
  for (HWND h = GetWindow(parent, GW_CHILD); h;) {
    HWND next = GetWindow(h, GW_HWNDNEXT);
    if (GetParent(h) == parent) SendMessage(h, msg, w, l);
    if (!IsWindow(parent)) return;
    h = next && IsWindow(next) ? next : nullptr;
  }
}

void BroadcastToControls(TWinControl* control, TMessage& message) {
  if (!control) return;
  TControlRef self(control);
  // Children are fetched by index after every delivery: a receiver may free
  // controls, and a freed one must never be reached again.
  for (int i = 0; self && i < control->ControlCount(); ++i) {
    TControl* child = control->Controls(i);
    if (!child || child->IsDestroying()) break;
    auto* wc = dynamic_cast<TWinControl*>(child);
    if (!wc || !wc->HandleAllocated()) {
      child->Perform(message.Msg, message.WParam, message.LParam);
    } else if (QueryControl(wc, CmdQueryHandled)) {
      TControlRef alive(wc);
      if (alive && wc->HandleAllocated())
        SendMessage(wc->Handle(), message.Msg, message.WParam, message.LParam);
    } else {
      BroadcastToControls(wc, message);
    }
  }
}

void SendCommandToChildren(TWinControl* container, int code, LPARAM value, int argument) {
  if (!container) return;
  TControlRef self(container);
  const WPARAM w = MakeSkinCommand(code, argument);
  try {
    for (int i = 0; self && i < container->ControlCount(); ++i) {
      TControl* child = container->Controls(i);
      if (!child || child->IsDestroying()) continue;
      auto* wc = dynamic_cast<TWinControl*>(child);
      // A windowless child keeps a cache of its own too: it hears the command
      // through its own dispatch.
      if (!wc)
        child->Perform(SM_NIRVEXCMD, w, value);
      else if (wc->HandleAllocated() && wc->Showing())
        SendMessage(wc->Handle(), SM_NIRVEXCMD, w, value);
      else
        wc->Perform(SM_NIRVEXCMD, w, value);
    }
  } catch (const std::exception&) {
    // A child that fails to answer ends the walk; the container has painted.
  }
}

void SendCommandToChildWindows(HWND window, int code, LPARAM value) {
  if (!window || !IsWindow(window)) return;
  const WPARAM w = MakeSkinCommand(code);
  for (HWND h = GetWindow(window, GW_CHILD); h;) {
    HWND next = GetWindow(h, GW_HWNDNEXT);
    if (GetWindowLongPtr(h, GWL_STYLE) & WS_CHILD) SendMessage(h, SM_NIRVEXCMD, w, value);
    if (!IsWindow(window)) return;
    h = next && IsWindow(next) ? next : nullptr;
  }
}

TCustomForm* GetOwnerForm(TComponent* component) {
  for (TComponent* c = component; c; c = c->Owner())
    if (auto* f = dynamic_cast<TCustomForm*>(c)) return f;
  return nullptr;
}

void AnnounceToForm(TControl* control) {
  if (!control || control->IsDesigning()) return;
  TCustomForm* form = control->GetParentForm();
  if (form && form != control)
    SendCommand(form, CmdControlSkinned, reinterpret_cast<LPARAM>(control));
}

}  // namespace vm
