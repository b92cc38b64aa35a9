#include "skin/subclass/ScrollWnd.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/SysColors.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/MaskPaint.h"
#include "skin/paint/SectionPaint.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/EngineColors.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/state/CommonData.h"
#include "toolkit/Control.h"

namespace vm {

namespace {

// The sections of one bar, part by part (index = part number).
struct TBarSections {
  const char* Part[6];
};
constexpr TBarSections VerticalSections{
    {"", "SCROLLBTNTOP", "SCROLLBAR1V", "SCROLLSLIDERV", "SCROLLBAR2V", "SCROLLBTNBOTTOM"}};
constexpr TBarSections HorizontalSections{
    {"", "SCROLLBTNLEFT", "SCROLLBAR1H", "SCROLLSLIDERH", "SCROLLBAR2H", "SCROLLBTNRIGHT"}};

const TBarSections& SectionsOf(int bar) {
  return bar == SB_VERT ? VerticalSections : HorizontalSections;
}

long ObjectOf(int bar) {
  return bar == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL;
}

// The parts of a bar in window coordinates (index = part number; empty
// where a part has no room).
void PartRects(const SCROLLBARINFO& info, const TRect& window, bool vertical, TRect parts[6]) {
  const TRect r = info.rcScrollBar.Offset(-window.Left, -window.Top);
  const int length = vertical ? r.Height() : r.Width();
  const int arrow = info.dxyLineButton;
  auto span = [&](int a, int b) {
    if (b <= a) return TRect{};
    return vertical ? TRect{r.Left, r.Top + a, r.Right, r.Top + b}
                    : TRect{r.Left + a, r.Top, r.Left + b, r.Bottom};
  };
  parts[0] = r;
  parts[1] = span(0, arrow);
  parts[5] = span(length - arrow, length);
  if (info.xyThumbBottom > info.xyThumbTop) {
    parts[2] = span(arrow, info.xyThumbTop);
    parts[3] = span(info.xyThumbTop, info.xyThumbBottom);
    parts[4] = span(info.xyThumbBottom, length - arrow);
  } else {
    // Nothing to scroll: the whole track in the first page's look.
    parts[2] = span(arrow, length - arrow);
    parts[3] = parts[4] = TRect{};
  }
}

}  // namespace

struct TnxScrollWnd::TLink {
  TnxScrollWnd* Owner = nullptr;
};

TnxScrollWnd::TnxScrollWnd(HWND window, TsCommonData& data) : handle_(window), data_(&data) {
  link_ = std::make_shared<TLink>();
  link_->Owner = this;
  std::shared_ptr<TLink> link = link_;
  mine_ = WNDPROC::FromClosure([link](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
    if (!link->Owner) return DefWindowProc(h, msg, w, l);
    return link->Owner->Proc(h, msg, w, l);
  });
  previous_ = SetWindowProc(handle_, mine_);
  attached_ = true;
  RedrawFrame();
}

TnxScrollWnd::~TnxScrollWnd() {
  const bool was = attached_;
  Detach();
  // The window shows its own frame again.
  if (was && IsWindow(handle_)) RedrawWindow(handle_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TnxScrollWnd::Detach() {
  if (!attached_) return;
  attached_ = false;
  link_->Owner = nullptr;
  RemoveWindowProc(handle_, mine_, previous_);
}

void TnxScrollWnd::Update() {
  RedrawFrame();
}

void TnxScrollWnd::RedrawFrame() {
  if (!attached_ || !IsWindow(handle_) || !IsWindowVisible(handle_)) return;
  RedrawWindow(handle_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOERASE);
}

bool TnxScrollWnd::CanPaint() const {
  TsSkinManager* m = data_->GetSkinManager();
  if (!m || !m->SkinData.Active) return false;
  // A plain window's own skin state has no owner to ask: its section decides.
  if (data_->OwnerObject() ? !data_->IsSkinned() : !m->IsValidSectionIndex(data_->SectionIndex))
    return false;
  for (const TBarSections* s : {&VerticalSections, &HorizontalSections})
    for (int part = 1; part <= 5; ++part)
      if (m->FindSectionIndex(s->Part[part]) < 0) return false;
  return true;
}

int TnxScrollWnd::PartAt(int bar, TPoint screen) const {
  SCROLLBARINFO info;
  if (!GetScrollBarInfo(handle_, ObjectOf(bar), &info)) return 0;
  if (info.rgstate[0] & STATE_SYSTEM_INVISIBLE) return 0;
  const TRect& r = info.rcScrollBar;
  if (!r.Contains(screen)) return 0;
  const bool vertical = bar == SB_VERT;
  const int along = vertical ? screen.Y - r.Top : screen.X - r.Left;
  const int length = vertical ? r.Height() : r.Width();
  if (along < info.dxyLineButton) return 1;
  if (along >= length - info.dxyLineButton) return 5;
  if (info.xyThumbBottom <= info.xyThumbTop) return 2;
  if (along < info.xyThumbTop) return 2;
  if (along < info.xyThumbBottom) return 3;
  return 4;
}

void TnxScrollWnd::SetHot(int bar, int part) {
  if (part == 0) bar = -1;
  if (bar == hotBar_ && part == hotPart_) return;
  hotBar_ = bar;
  hotPart_ = part;
  if (CanPaint()) SendMessage(handle_, WM_NCPAINT, 1, 0);
}

void TnxScrollWnd::PaintNonClient(HDC dc) {
  if (!CanPaint()) return;
  TsSkinManager* m = data_->GetSkinManager();
  TRect window, client;
  GetWindowRect(handle_, &window);
  GetClientRect(handle_, &client);
  TPoint origin{0, 0};
  ClientToScreen(handle_, &origin);
  client = client.Offset(origin.X - window.Left, origin.Y - window.Top);
  const int w = window.Width(), h = window.Height();
  if (w <= 0 || h <= 0) return;
  std::unique_ptr<TBitmap> picture = CreateBitmap24(w, h);
  // The frame: the control's section in its state, over what lies behind it.
  TControl* control = data_->OwnerControl();
  TPoint position{0, 0};
  BackgroundInfo behind;
  if (control) {
    position = {control->Left(), control->Top()};
    behind = data_->GetParentBackground();
  } else if (const HWND parent = GetParent(handle_)) {
    // A plain window: what its parent shows behind it, at its place there.
    TRect outer;
    GetWindowRect(parent, &outer);
    position = {window.Left - outer.Left, window.Top - outer.Top};
    behind = GetWindowBackground(handle_);
  }
  // A plain window's subclass keeps the focus and the mouse in the skin
  // state's flags itself: there is no control to ask.
  const bool hot = data_->OwnerControl() ? data_->IsHot() : data_->Focused || data_->MouseAbove;
  const int state = IsWindowEnabled(handle_) && hot ? 1 : 0;
  KeyFillColor = KeyColor;
  vm::ParentColor = KeyColor;
  PaintSectionItem(data_->SectionIndex, data_->SkinSection(), behind, -1, -1, m, *picture, position,
                   TRect{0, 0, w, h}, state, true);
  // The bars, part by part.
  TRect bars[2];
  for (int bar : {SB_HORZ, SB_VERT}) {
    SCROLLBARINFO info;
    if (!GetScrollBarInfo(handle_, ObjectOf(bar), &info) ||
        (info.rgstate[0] & STATE_SYSTEM_INVISIBLE))
      continue;
    const bool vertical = bar == SB_VERT;
    const bool usable = !(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
    TRect parts[6];
    PartRects(info, window, vertical, parts);
    bars[bar] = parts[0];
    for (int part = 1; part <= 5; ++part) {
      const TRect& r = parts[part];
      if (r.IsEmpty()) continue;
      int partState = 0;
      if (usable && (info.rgstate[part] & STATE_SYSTEM_PRESSED))
        partState = 2;
      else if (usable && bar == hotBar_ && part == hotPart_)
        partState = 1;
      const std::string_view name = SectionsOf(bar).Part[part];
      const int section = m->FindSectionIndex(name);
      PaintSectionItem(section, name, BackgroundInfo{picture.get(), 0, 0, 1}, -1, -1, m, *picture,
                       {r.Left, r.Top}, r, partState, true);
      const int glyph = m->FindMaskIndex(section, name, "GLYPHMASK");
      if (m->IsValidMaskIndex(glyph)) {
        const TsMaskData& mask = m->ma[std::size_t(glyph)];
        const TMaskFrame frame = TMaskFrame::Of(mask);
        if (frame.Valid)
          PaintStateImage(*picture,
                          {r.Left + (r.Width() - frame.W) / 2, r.Top + (r.Height() - frame.H) / 2},
                          partState, mask);
      }
    }
  }
  // The corner between two bars in the section's colour.
  if (!bars[SB_HORZ].IsEmpty() && !bars[SB_VERT].IsEmpty()) {
    const TColor face = ColorToRGB(m->gd[std::size_t(data_->SectionIndex)].Color);
    TDC canvas(*picture);
    canvas.FillRect(
        TRect{bars[SB_VERT].Left, bars[SB_HORZ].Top, bars[SB_VERT].Right, bars[SB_HORZ].Bottom},
        face);
  }
  KeyFillColor = KeyColor;
  vm::ParentColor = KeyColor;
  if (!IsWindow(handle_) || !attached_) return;
  std::optional<TScopedDC> own;
  if (!dc) {
    own.emplace(handle_, true);
    dc = own->Dc();
    if (!dc) return;
  }
  // Everything around the client area.
  dc->BitBlt(0, 0, w, client.Top, *picture, 0, 0, SRCCOPY);
  dc->BitBlt(0, client.Bottom, w, h - client.Bottom, *picture, 0, client.Bottom, SRCCOPY);
  dc->BitBlt(0, client.Top, client.Left, client.Height(), *picture, 0, client.Top, SRCCOPY);
  dc->BitBlt(client.Right, client.Top, w - client.Right, client.Height(), *picture, client.Right,
             client.Top, SRCCOPY);
}

LRESULT TnxScrollWnd::Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  const std::shared_ptr<TLink> link = link_;
  const WNDPROC previous = previous_;
  switch (msg) {
    case WM_NCPAINT:
      if (CanPaint()) {
        PaintNonClient();
        return 0;
      }
      break;
    case WM_NCMOUSEMOVE: {
      const int bar = w == WPARAM(HTVSCROLL) ? SB_VERT : (w == WPARAM(HTHSCROLL) ? SB_HORZ : -1);
      const TPoint screen{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      const LRESULT r = CallWindowProc(previous, h, msg, w, l);
      if (!link->Owner) return r;
      SetHot(bar, bar < 0 ? 0 : PartAt(bar, screen));
      TRACKMOUSEEVENT tme;
      tme.dwFlags = TME_LEAVE | TME_NONCLIENT;
      tme.hwndTrack = h;
      TrackMouseEvent(&tme);
      return r;
    }
    case WM_NCMOUSELEAVE:
    case WM_MOUSEMOVE: {
      const LRESULT r = CallWindowProc(previous, h, msg, w, l);
      if (link->Owner) SetHot(-1, 0);
      return r;
    }
    case WM_NCDESTROY:
      Detach();
      return CallWindowProc(previous, h, msg, w, l);
    default:
      break;
  }
  return CallWindowProc(previous, h, msg, w, l);
}

void RegisterScrollWnd() {
  RegisterScrollPainter([](HWND window, TsCommonData& data) -> std::unique_ptr<TsScrollPainter> {
    return std::make_unique<TnxScrollWnd>(window, data);
  });
}

}  // namespace vm
