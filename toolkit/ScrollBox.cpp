#include "toolkit/ScrollBox.h"

#include <algorithm>

namespace vm {

// ---- TControlScrollBar ----

void TControlScrollBar::SetPosition(int v) {
  control_.MoveTo(*this, v);
}

int TControlScrollBar::Range() const {
  return range_ > 0 ? range_ : calcRange_;
}

void TControlScrollBar::SetRange(int v) {
  range_ = std::max(v, 0);
  control_.UpdateScrollBars();
}

void TControlScrollBar::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  control_.UpdateScrollBars();
}

bool TControlScrollBar::IsScrollBarVisible() const {
  return shown_;
}

// ---- TScrollingWinControl ----

TScrollingWinControl::TScrollingWinControl(TComponent* owner) : TWinControl(owner) {
  controlStyle_ |= csAcceptsControls;
}

void TScrollingWinControl::CreateHandle() {
  TWinControl::CreateHandle();
  UpdateScrollBars();
}

void TScrollingWinControl::AlignControls(TControl* control, TRect& rect) {
  TWinControl::AlignControls(control, rect);
  UpdateScrollBars();
}

void TScrollingWinControl::ChildBoundsChanged(TControl*) {
  UpdateScrollBars();
}

int TScrollingWinControl::PageOf(const TControlScrollBar& bar) const {
  TRect r = ClientRect();
  return bar.kind_ == SB_HORZ ? r.Width() : r.Height();
}

void TScrollingWinControl::UpdateScrollBars() {
  if (updating_ || !HandleAllocated() || IsDestroying()) return;
  updating_ = true;
  // The content's extent, in unscrolled coordinates, from the free-standing children.
  int right = 0, bottom = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->Visible() || c->Align() != alNone) continue;
    right = std::max(right, c->Left() + c->Width() + horz_.position_);
    bottom = std::max(bottom, c->Top() + c->Height() + vert_.position_);
  }
  horz_.calcRange_ = right;
  vert_.calcRange_ = bottom;
  // Showing one bar takes room from the other direction: settle in a few rounds.
  for (int round = 0; round < 3; ++round) {
    TRect before = ClientRect();
    for (TControlScrollBar* bar : {&horz_, &vert_}) {
      int page = PageOf(*bar);
      int range = bar->Range();
      bool show = bar->visible_ && range > page;
      SCROLLINFO si;
      si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
      si.nMin = 0;
      si.nMax = show ? range - 1 : 0;
      si.nPage = show ? UINT(page) : 0;
      si.nPos = show ? std::min(bar->position_, range - page) : 0;
      bar->shown_ = show;
      SetScrollInfo(Handle(), bar->kind_, &si, true);
    }
    if (ClientRect() == before) break;
  }
  updating_ = false;
  // A position beyond the new end (the content shrank) comes back.
  for (TControlScrollBar* bar : {&horz_, &vert_}) {
    int limit = bar->shown_ ? std::max(bar->Range() - PageOf(*bar), 0) : 0;
    if (bar->position_ > limit) MoveTo(*bar, limit);
  }
}

void TScrollingWinControl::MoveTo(TControlScrollBar& bar, int position) {
  int limit = HandleAllocated() && bar.shown_ ? std::max(bar.Range() - PageOf(bar), 0) : 0;
  position = std::clamp(position, 0, limit);
  int delta = bar.position_ - position;
  if (delta == 0) return;
  bar.position_ = position;
  if (bar.kind_ == SB_HORZ)
    ScrollBy(delta, 0);
  else
    ScrollBy(0, delta);
  if (HandleAllocated()) SetScrollPos(Handle(), bar.kind_, position, true);
}

void TScrollingWinControl::ScrollBy(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  DisableAlign();
  bool wasUpdating = updating_;
  updating_ = true;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (dynamic_cast<TWinControl*>(c)) {
      c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
    } else {
      // Windowless: moved without repainting each; the whole area repaints below.
      c->left_ += dx;
      c->top_ += dy;
    }
  }
  updating_ = wasUpdating;
  --alignLevel_;
  Invalidate();
}

void TScrollingWinControl::ScrollInView(TControl* c) {
  if (!c || !ContainsControl(c) || c == this) return;
  TPoint tl = ScreenToClient(c->ClientToScreen({0, 0}));
  TRect r = Bounds(tl.X, tl.Y, c->Width(), c->Height());
  TRect client = ClientRect();
  if (r.Left < 0)
    MoveTo(horz_, horz_.position_ + r.Left);
  else if (r.Right > client.Right)
    MoveTo(horz_, horz_.position_ + std::min(r.Right - client.Right, r.Left));
  if (r.Top < 0)
    MoveTo(vert_, vert_.position_ + r.Top);
  else if (r.Bottom > client.Bottom)
    MoveTo(vert_, vert_.position_ + std::min(r.Bottom - client.Bottom, r.Top));
}

void TScrollingWinControl::ScrollMessage(TControlScrollBar& bar, WPARAM w) {
  int page = PageOf(bar);
  int pos = bar.position_;
  switch (int(LOWORD(w))) {
    case SB_LINEUP:
      pos -= bar.increment_;
      break;
    case SB_LINEDOWN:
      pos += bar.increment_;
      break;
    case SB_PAGEUP:
      pos -= page;
      break;
    case SB_PAGEDOWN:
      pos += page;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO si;
      si.fMask = SIF_TRACKPOS;
      pos = GetScrollInfo(Handle(), bar.kind_, &si) ? si.nTrackPos : int(HIWORD(w));
      break;
    }
    case SB_TOP:
      pos = 0;
      break;
    case SB_BOTTOM:
      pos = bar.Range();
      break;
    default:
      return;
  }
  MoveTo(bar, pos);
}

void TScrollingWinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (m.LParam == 0) {  // the window's own bar
        ScrollMessage(m.Msg == WM_HSCROLL ? horz_ : vert_, m.WParam);
        m.Result = 0;
        return;
      }
      break;
    case WM_MOUSEWHEEL: {
      TControlScrollBar& bar = vert_.shown_ || !horz_.shown_ ? vert_ : horz_;
      if (!bar.shown_) break;
      UINT lines = 3;
      SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
      wheelRest_ += GET_WHEEL_DELTA_WPARAM(m.WParam);
      int notches = wheelRest_ / WHEEL_DELTA;
      wheelRest_ -= notches * WHEEL_DELTA;
      MoveTo(bar, bar.position_ - notches * int(lines) * bar.increment_);
      m.Result = 0;
      return;
    }
    case WM_SIZE:
      TWinControl::WndProc(m);
      UpdateScrollBars();
      return;
    case CM_CONTROLCHANGE:
      TWinControl::WndProc(m);
      UpdateScrollBars();
      return;
    default:
      break;
  }
  TWinControl::WndProc(m);
}

// ---- TScrollBox ----

TScrollBox::TScrollBox(TComponent* owner) : TScrollingWinControl(owner) {
  width_ = 185;
  height_ = 41;
}

void TScrollBox::SetBorderStyle(TBorderStyle v) {
  if (v == borderStyle_) return;
  borderStyle_ = v;
  RecreateWnd();
}

void TScrollBox::CreateParams(TCreateParams& p) {
  TScrollingWinControl::CreateParams(p);
  if (borderStyle_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

}  // namespace vm
