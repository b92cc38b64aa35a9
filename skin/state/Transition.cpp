#include "skin/state/Transition.h"

#include <algorithm>

#include "platform/gfx/DC.h"
#include "skin/data/SkinCommands.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/state/CommonData.h"
#include "skin/state/FadeTimer.h"
#include "skin/state/SkinCommand.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

namespace vm {

HDC RenderingContext = nullptr;

namespace {

std::unique_ptr<TBitmap> snapshot;
TOutputWindow* output = nullptr;

constexpr TColor OutputColour = 0x800080;

// The toolkit paints its own windows' faces in PaintWindow; printing one
// off-screen calls it the way the window's painting does.
struct TPrintAccess : TWinControl {
  using TWinControl::PaintWindow;
};

WPARAM AsParam(HDC dc) {
  return WPARAM(reinterpret_cast<std::uintptr_t>(dc));
}

// Where the control's client area starts inside its window (its frame).
TPoint ClientOffset(TWinControl* c) {
  TRect wr;
  if (!GetWindowRect(c->Handle(), &wr)) return {0, 0};
  const TPoint co = c->ClientOrigin();
  return {co.X - wr.Left, co.Y - wr.Top};
}

void RenderTree(TDC& dc, TWinControl* c) {
  if (!c->Visible() || c->IsDestroying()) return;
  const HWND h = c->Handle();
  if (!h) return;
  TDCSaver saver(dc);
  dc.IntersectClipRect(Rect(0, 0, c->Width(), c->Height()));
  const TPoint off = ClientOffset(c);
  // Frame, background and the face of a platform class; a skinned control
  // prints all of itself.
  SendMessage(h, WM_PRINT, AsParam(&dc), PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CLIENT);
  const bool skinned = QueryControl(c, CmdQueryHandled);
  {
    TDCSaver client(dc);
    dc.OffsetViewportOrg(off.X, off.Y);
    if (!skinned) {
      void (TWinControl::*paintWindow)(HDC) = &TPrintAccess::PaintWindow;
      (c->*paintWindow)(&dc);
      c->PaintControls(&dc, nullptr);
    }
  }
  // Windowed children over it, the bottom one first; a form only when it
  // sits inside this control.
  for (int i = 0; i < c->ControlCount(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(c->Controls(i));
    if (!child || !child->Visible() || child == output) continue;
    if (dynamic_cast<TCustomForm*>(child) && !child->Parent()) continue;
    TDCSaver childSaver(dc);
    dc.OffsetViewportOrg(off.X + child->Left(), off.Y + child->Top());
    RenderTree(dc, child);
  }
}

// The control's picture as the program last drew it: its part of the
// backing store of the top-level window it belongs to. False when that
// window has no store (not shown).
bool CaptureFromStore(TBitmap& into, TWinControl* control) {
  const HWND h = control->Handle();
  const HWND top = GetAncestor(h, GA_ROOT);
  const TBitmap* store = top ? GetWindowStore(top) : nullptr;
  TRect cr, tr;
  if (!store || !GetWindowRect(h, &cr) || !GetWindowRect(top, &tr)) return false;
  TDC dc(into);
  dc.BitBlt(0, 0, into.Width(), into.Height(), *store, cr.Left - tr.Left, cr.Top - tr.Top, SRCCOPY);
  return true;
}

void FreeTransition() {
  delete output;
  output = nullptr;
  snapshot.reset();
}

}  // namespace

// ---------------------------------------------------------------------------
// TOutputWindow

TOutputWindow::TOutputWindow(TWinControl* owner) : TCustomControl(owner), covered_(owner) {
  visible_ = false;
  color_ = OutputColour;
  SetText("nxOutputWindow");
}

void TOutputWindow::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  if (Parent() || ParentWindow()) return;
  p.Style = WS_POPUP;
  p.ExStyle = 0;
  p.WndParent = Application ? Application->Handle() : nullptr;
  auto* covered = dynamic_cast<TWinControl*>(covered_.Get());
  if (covered && covered->HandleAllocated() &&
      (GetWindowLongPtr(covered->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST))
    p.ExStyle |= WS_EX_TOPMOST;
}

void TOutputWindow::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_PAINT: {
      // What was drawn stays: the area is only validated.
      TPaintDC paint(Handle());
      m.Result = 0;
      return;
    }
  }
  TCustomControl::WndProc(m);
}

// ---------------------------------------------------------------------------
// Transitions

const TBitmap* TransitionSnapshot() {
  return snapshot.get();
}
TOutputWindow* TransitionOutput() {
  return output;
}

void BeginTransition(TWinControl* control) {
  if (!control || control->IsDestroying() || !control->Visible()) return;
  const HWND h = control->Handle();
  if (!h) return;
  if (!snapshot) {
    snapshot = CreateBitmap24(control->Width(), control->Height());
    // A window never shown has nothing drawn yet: its current look is
    // rendered instead.
    if (!CaptureFromStore(*snapshot, control)) PaintControlTree(*snapshot, control);
  }
  if (!output) output = Create<TOutputWindow>(control);
  const HWND above = GetWindow(h, GW_HWNDPREV);
  const HWND insertAfter = above ? above : HWND_TOP;
  if (TWinControl* parent = control->Parent()) {
    output->SetParent(parent);
    output->SetBoundsRect(control->BoundsRect());
    SetWindowPos(output->Handle(), insertAfter, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  } else {
    TRect r;
    GetWindowRect(h, &r);
    output->SetBoundsRect(r);
    SetWindowPos(output->Handle(), insertAfter, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
}

void RunTransition(TWinControl* control, int time) {
  if (!control || control->IsDestroying()) {
    FreeTransition();
    return;
  }
  if (!output) BeginTransition(control);
  if (!output || !snapshot) {
    FreeTransition();
    return;
  }
  const int w = control->Width();
  const int h = control->Height();
  TControlRef alive(control);

  // The new look, off-screen: nothing reaches the screen meanwhile.
  std::unique_ptr<TBitmap> fresh = CreateBitmap24(w, h);
  {
    TDC dc(*fresh);
    RenderingContext = &dc;
    try {
      PaintControlTree(*fresh, control);
    } catch (...) {
      RenderingContext = nullptr;
      FreeTransition();
      throw;
    }
    RenderingContext = nullptr;
  }
  if (!alive.Get() || control->IsDestroying()) {
    FreeTransition();
    return;
  }
  // A picture taken at another size is mixed only where the two overlap.
  if (snapshot->Width() != w || snapshot->Height() != h) {
    auto resized = CreateBitmap24(w, h);
    TDC(*resized).BitBlt(0, 0, w, h, *fresh, 0, 0, SRCCOPY);
    TDC(*resized).BitBlt(0, 0, std::min(w, snapshot->Width()), std::min(h, snapshot->Height()),
                         *snapshot, 0, 0, SRCCOPY);
    snapshot = std::move(resized);
  }
  std::unique_ptr<TBitmap> mix = CreateBitmap32(w, h);

  // A framed form's window region (its transparent corners) is the output
  // window's too.
  const HWND out = output->Handle();
  if (auto* form = dynamic_cast<TCustomForm*>(control)) {
    if (SendCommand(form, CmdGetFormFrame) != 0) {
      TRegion region;
      if (GetWindowRgn(form->Handle(), &region) != RGN_ERROR) SetWindowRgn(out, &region, false);
    }
  }

  {
    TScopedDC dc(out);
    if (dc.Dc()) {
      if (time > 7) {
        const int count = time / 8;
        const int step = 255 / count;
        int a = 255;
        for (int i = 0; i <= count; ++i) {
          MixToBitmap32(*mix, *snapshot, *fresh, std::uint8_t(std::max(a, 0)));
          dc.Dc()->BitBlt(0, 0, w, h, *mix, 0, 0, SRCCOPY);
          PresentWindows();
          NotifyCompanion();
          a -= step;
          if (i < count) Sleep(8);
        }
      }
      dc.Dc()->BitBlt(0, 0, w, h, *fresh, 0, 0, SRCCOPY);
      PresentWindows();
    }
  }

  const bool layered = dynamic_cast<TCustomForm*>(control) && control->HandleAllocated() &&
                       (GetWindowLongPtr(control->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
  if (!layered)
    SetWindowPos(out, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_NOMOVE |
                     SWP_NOSIZE | SWP_NOZORDER);
  FreeTransition();
  if (alive.Get() && control->HandleAllocated())
    RedrawWindow(control->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void PaintControlTree(TBitmap& bitmap, TWinControl* control) {
  if (!control || !control->Visible() || bitmap.Empty()) return;
  TDC dc(bitmap);
  dc.IntersectClipRect(Rect(0, 0, control->Width(), control->Height()));
  RenderTree(dc, control);
}

}  // namespace vm
