#include "toolkit/BitBtn.h"

#include "platform/controls/Controls.h"
#include "platform/gfx/ClassicDraw.h"
#include "platform/gfx/SysColors.h"

namespace vm {

namespace {

struct TKindInfo {
  const char* Caption;
  TModalResult Result;
  bool Default;
  bool Cancel;
};

// The standard buttons' captions (the program speaks Russian) and roles.
constexpr TKindInfo KindInfo[] = {
    {"", mrNone, false, false},         {"OK", mrOk, true, false},
    {"Отмена", mrCancel, false, true},  {"&Справка", mrNone, false, false},
    {"&Да", mrYes, true, false},        {"&Нет", mrNo, false, true},
    {"&Закрыть", mrNone, false, false}, {"Прервать", mrAbort, false, true},
    {"&Повтор", mrRetry, false, false}, {"П&ропустить", mrIgnore, false, false},
    {"&Все", mrAll, false, false},
};
static_assert(sizeof(KindInfo) / sizeof(KindInfo[0]) == bkAll + 1);

}  // namespace

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {
  glyph_.OnChange = [this] { Invalidate(); };
}

void TBitBtn::CreateParams(TCreateParams& p) {
  TButton::CreateParams(p);
  p.Style = (p.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
}

void TBitBtn::SetLayout(TButtonLayout v) {
  if (v == layout_) return;
  layout_ = v;
  Invalidate();
}

void TBitBtn::SetMargin(int v) {
  if (v == margin_ || v < -1) return;
  margin_ = v;
  Invalidate();
}

void TBitBtn::SetSpacing(int v) {
  if (v == spacing_) return;
  spacing_ = v;
  Invalidate();
}

void TBitBtn::SetKind(TBitBtnKind v) {
  if (v == kind_) return;
  kind_ = v;
  if (v == bkCustom) return;
  const TKindInfo& k = KindInfo[v];
  SetCaption(k.Caption);
  SetModalResult(k.Result);
  SetDefault(k.Default);
  SetCancel(k.Cancel);
}

void TBitBtn::Click() {
  if (kind_ == bkClose) {
    if (TCustomForm* f = GetParentForm()) {
      f->Close();
      return;
    }
  }
  TButton::Click();
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  if (!dc) return;
  TRect r = item.rcItem;
  bool pressed = (item.itemState & ODS_SELECTED) != 0;
  bool focused = (item.itemState & ODS_FOCUS) != 0;
  bool disabled = (item.itemState & ODS_DISABLED) != 0;
  // The default (or focused) button wears a dark ring.
  if (focused || Default()) {
    dc->FrameRect(r, GetSysColor(COLOR_WINDOWFRAME));
    r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  }
  if (pressed) {
    dc->FrameRect(r, GetSysColor(COLOR_BTNSHADOW));
    r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    dc->FillRect(r, GetSysColor(COLOR_BTNFACE));
  } else {
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
  }
  TButtonState state = disabled                                    ? bsDisabled
                       : pressed                                   ? bsDown
                       : mouseInControl_ && glyph_.NumGlyphs() > 3 ? bsExclusive
                                                                   : bsUp;
  TPoint offset = pressed ? TPoint{1, 1} : TPoint{0, 0};
  TRect text = glyph_.Draw(dc, r, offset, Caption(), layout_, margin_, spacing_, state, *Font());
  if (focused) {
    TRect fr = Rect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2);
    (void)text;
    DrawFocusRect(dc, &fr);
  }
}

void TBitBtn::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_DRAWITEM:
      if (m.LParam) DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam));
      m.Result = 1;
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      if (!IsMouseMessageForSelf(m)) break;
      mouseInControl_ = m.Msg == CM_MOUSEENTER;
      if (glyph_.NumGlyphs() > 3) Invalidate();
      break;
    default:
      break;
  }
  TButton::WndProc(m);
}

}  // namespace vm
