#include "toolkit/StatusBar.h"

#include <algorithm>
#include <stdexcept>

#include "platform/controls/Controls.h"

namespace vm {

// ---- TStatusPanel ----

void TStatusPanel::SetText(const std::string& v) {
  if (v == text_) return;
  text_ = v;
  Changed(false);
}

void TStatusPanel::SetWidth(int v) {
  v = std::max(v, 0);
  if (v == width_) return;
  width_ = v;
  Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment v) {
  if (v == alignment_) return;
  alignment_ = v;
  Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle v) {
  if (v == style_) return;
  style_ = v;
  Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel v) {
  if (v == bevel_) return;
  bevel_ = v;
  Changed(false);
}

int TStatusPanel::Index() const {
  return owner_->IndexOf(this);
}

void TStatusPanel::Changed(bool geometry) {
  owner_->Changed(geometry);
}

// ---- TStatusPanels ----

TStatusPanel* TStatusPanels::Items(int index) const {
  if (index < 0 || index >= Count())
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  return items_[std::size_t(index)].get();
}

TStatusPanel* TStatusPanels::Add() {
  return Insert(Count());
}

TStatusPanel* TStatusPanels::Insert(int index) {
  if (index < 0 || index > Count())
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  auto it = items_.insert(items_.begin() + index, std::make_unique<TStatusPanel>(this));
  Changed(true);
  return it->get();
}

void TStatusPanels::Delete(int index) {
  Items(index);  // checks the index
  items_.erase(items_.begin() + index);
  Changed(true);
}

void TStatusPanels::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed(true);
}

int TStatusPanels::IndexOf(const TStatusPanel* panel) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[std::size_t(i)].get() == panel) return i;
  return -1;
}

void TStatusPanels::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0 && pending_) {
    pending_ = false;
    bool geometry = pendingGeometry_;
    pendingGeometry_ = false;
    bar_->UpdatePanels(geometry);
  }
}

void TStatusPanels::Changed(bool geometry) {
  if (updating_) {
    pending_ = true;
    pendingGeometry_ = pendingGeometry_ || geometry;
    return;
  }
  bar_->UpdatePanels(geometry);
}

// ---- TStatusBar ----

TStatusBar::TStatusBar(TComponent* owner)
    : TWinControl(owner), panels_(std::make_unique<TStatusPanels>(this)) {
  width_ = 150;
  height_ = 19;
  align_ = alBottom;
  controlStyle_ |= csAcceptsControls | csOpaque;
  // The bar's text is its panels'; a caption would land in the first one.
  controlStyle_ &= ~csSetCaption;
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, STATUSCLASSNAME);
  p.Caption.clear();
  // The toolkit lays the bar out itself (Align), so the window neither moves
  // nor changes its height on its own.
  p.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE;
  if (sizeGrip_) p.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::CreateHandle() {
  TWinControl::CreateHandle();
  SendMessage(Handle(), SB_SETBKCOLOR, 0, LPARAM(Color()));
  UpdatePanels(true);
  UpdateSimple();
}

void TStatusBar::ColorChanged() {
  if (HandleAllocated()) SendMessage(Handle(), SB_SETBKCOLOR, 0, LPARAM(Color()));
  TWinControl::ColorChanged();
}

void TStatusBar::UpdatePanels(bool geometry) {
  if (!HandleAllocated()) return;
  HWND h = Handle();
  int count = panels_->Count();
  if (count == 0) {
    // No panels: one empty part over the whole bar.
    if (geometry) {
      int edge = -1;
      SendMessage(h, SB_SETPARTS, 1, LPARAM(&edge));
    }
    SendMessage(h, SB_SETTEXT, 0, LPARAM(""));
    return;
  }
  count = std::min(count, SB_MAXPARTS);
  if (geometry) {
    // Each panel ends where the widths before it and its own add up; the
    // last one reaches the right edge.
    std::vector<int> edges(std::size_t(count), -1);
    int edge = 0;
    for (int i = 0; i + 1 < count; ++i) {
      edge += panels_->Items(i)->Width();
      edges[std::size_t(i)] = edge;
    }
    SendMessage(h, SB_SETPARTS, WPARAM(count), LPARAM(edges.data()));
  }
  for (int i = 0; i < count; ++i) {
    const TStatusPanel* p = panels_->Items(i);
    WPARAM flags = p->Bevel() == pbNone ? SBT_NOBORDERS : p->Bevel() == pbRaised ? SBT_POPOUT : 0;
    if (p->Style() == psOwnerDraw) {
      SendMessage(h, SB_SETTEXT, WPARAM(i) | flags | SBT_OWNERDRAW, LPARAM(i));
      continue;
    }
    // A tab before the text centres it, two tabs put it at the right.
    std::string text = p->Alignment() == taCenter         ? "\t" + p->Text()
                       : p->Alignment() == taRightJustify ? "\t\t" + p->Text()
                                                          : p->Text();
    SendMessage(h, SB_SETTEXT, WPARAM(i) | flags, LPARAM(text.c_str()));
  }
}

void TStatusBar::UpdateSimple() {
  if (!HandleAllocated()) return;
  HWND h = Handle();
  SendMessage(h, SB_SETTEXT, SB_SIMPLEID, LPARAM(simpleText_.c_str()));
  SendMessage(h, SB_SIMPLE, simplePanel_ ? 1 : 0, 0);
}

void TStatusBar::SetSimplePanel(bool v) {
  if (v == simplePanel_) return;
  simplePanel_ = v;
  UpdateSimple();
}

void TStatusBar::SetSimpleText(const std::string& v) {
  if (v == simpleText_) return;
  simpleText_ = v;
  if (HandleAllocated())
    SendMessage(Handle(), SB_SETTEXT, SB_SIMPLEID, LPARAM(simpleText_.c_str()));
}

void TStatusBar::SetSizeGrip(bool v) {
  if (v == sizeGrip_) return;
  sizeGrip_ = v;
  if (!HandleAllocated()) return;
  // The style is read at every paint and hit test: no need to make the window again.
  HWND h = Handle();
  LONG_PTR style = GetWindowLongPtr(h, GWL_STYLE);
  SetWindowLongPtr(h, GWL_STYLE,
                   v ? style | LONG_PTR(SBARS_SIZEGRIP) : style & ~LONG_PTR(SBARS_SIZEGRIP));
  Invalidate();
}

void TStatusBar::SetBorderWidth(int v) {
  v = std::max(v, 0);
  if (v == borderWidth_) return;
  borderWidth_ = v;
  if (!HandleAllocated()) return;
  // The client area shrinks or grows inside the frame: panels and children follow.
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Realign();
  Invalidate();
}

void TStatusBar::DrawPanel(TStatusPanel* panel, const TRect& rect) {
  if (OnDrawPanel) OnDrawPanel(this, panel, rect);
}

void TStatusBar::WndProc(TMessage& m) {
  if (m.Msg == WM_NCCALCSIZE && m.WParam && m.LParam && borderWidth_ > 0) {
    TWinControl::WndProc(m);
    TRect& r = reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam)->rgrc[0];
    int b = borderWidth_;
    r = Rect(r.Left + b, r.Top + b, std::max(r.Left + b, r.Right - b),
             std::max(r.Top + b, r.Bottom - b));
    return;
  }
  if (m.Msg == WM_NCPAINT && borderWidth_ > 0) {
    TWinControl::WndProc(m);
    if (!HandleAllocated()) return;
    HWND h = Handle();
    TRect wr, cr;
    GetWindowRect(h, &wr);
    GetClientRect(h, &cr);
    TPoint o{0, 0};
    ::vm::ClientToScreen(h, &o);
    TRect inner = cr.Offset(o.X - wr.Left, o.Y - wr.Top);
    TScopedDC dc(h, true);
    if (HDC d = dc.Dc()) {
      TDCSaver save(*d);
      d->ExcludeClipRect(inner);
      d->FillRect(Rect(0, 0, wr.Width(), wr.Height()), Color());
    }
    return;
  }
  if (m.Msg == CN_DRAWITEM && m.LParam) {
    const auto& dis = *reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
    int index = int(dis.itemID);
    if (index >= 0 && index < panels_->Count() && dis.hDC) {
      struct TReset {
        tk::TCanvas& Canvas;
        ~TReset() { Canvas.SetHandle(nullptr); }
      } reset{*canvas_};
      canvas_->SetHandle(dis.hDC);
      canvas_->Font().Assign(*Font());
      canvas_->Brush().SetColor(Color());
      int level = dis.hDC->SaveDC();
      try {
        DrawPanel(panels_->Items(index), dis.rcItem);
      } catch (...) {
        dis.hDC->RestoreDC(level);
        throw;
      }
      dis.hDC->RestoreDC(level);
    }
    m.Result = 1;
    return;
  }
  TWinControl::WndProc(m);
}

}  // namespace vm
