#include "skin/subclass/ComboBoxWnd.h"

#include <algorithm>

#include "platform/controls/ControlDefs.h"
#include "platform/gfx/ClassicDraw.h"
#include "platform/gfx/SysColors.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/MaskPaint.h"
#include "skin/paint/SectionPaint.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/EngineColors.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/state/CommonData.h"
#include "skin/state/ControlPaint.h"
#include "skin/state/SkinCommand.h"
#include "skin/subclass/EditWnd.h"
#include "skin/subclass/HotWindow.h"
#include "toolkit/WinControl.h"

namespace vm {

namespace {

// The section of the drop-down button.
constexpr const char* ButtonSection = "COMBOBTN";

// The engine-wide painting colours are unset before and after a cache is made.
struct TEngineColours {
  TEngineColours() { Reset(); }
  ~TEngineColours() { Reset(); }
  static void Reset() {
    KeyFillColor = KeyColor;
    ParentColor = KeyColor;
  }
};

DWORD StyleOf(HWND h) {
  return DWORD(GetWindowLongPtr(h, GWL_STYLE));
}

HWND ChildOfClass(HWND parent, const char* className) {
  HWND found = nullptr;
  EnumChildWindows(parent, [&](HWND c) {
    if (GetParent(c) == parent && GetClassName(c) == className) {
      found = c;
      return false;
    }
    return true;
  });
  return found;
}

bool IsManagerCommand(const TMessage& m) {
  if (m.Msg != SM_NIRVEXCMD) return false;
  const int c = CommandOf(m.WParam);
  return c == CmdNewSkin || c == CmdRemoveSkin || c == CmdRefresh;
}

}  // namespace

TnxComboBoxWnd::TnxComboBoxWnd(HWND window, bool repaint, const std::string& section,
                               TsSkinManager* manager, TsCommonData* commonData)
    : TnxMainWnd(window, repaint, section, manager, commonData) {
  if (!Detached()) AttachParts();
}

TnxComboBoxWnd::~TnxComboBoxWnd() {
  // Given back here, while this object's own clean-up still runs.
  Detach();
}

bool TnxComboBoxWnd::Skinned() const {
  return SkinActive() && SkinManager()->IsValidSectionIndex(SkinData()->SectionIndex);
}

void TnxComboBoxWnd::AttachParts() {
  const HWND h = Handle();
  if (!IsWindow(h) || Detached()) return;
  const std::string section = SkinData()->SkinSection();
  TsSkinManager* manager = SkinManager();
  // Parts that answer command 7 are skinned already (a dialog's walk reaches
  // the combo box's children before the combo box itself).
  auto take = [&](HWND part, std::unique_ptr<TnxEditWnd>& slot) {
    if (slot || !part || QueryWindow(part, CmdQueryHandled)) return;
    slot = std::make_unique<TnxEditWnd>(part, true, section, manager, nullptr);
  };
  if (!edit_) take(ChildOfClass(h, WC_EDIT), edit_);
  if (!list_) {
    // A simple combo box's list is its child; a drop-down one's is a pop-up
    // that holds the mouse while it is down.
    HWND list = ChildOfClass(h, WC_COMBOLBOX);
    if (!list && Dropped()) {
      const HWND captured = GetCapture();
      if (captured && GetClassName(captured) == WC_COMBOLBOX) list = captured;
    }
    take(list, list_);
    // The list asks the combo box's parent for its colours.
    if (list_) list_->SetCombo(h);
  }
}

bool TnxComboBoxWnd::Focused() const {
  const HWND focus = GetFocus();
  return focus && (focus == Handle() || GetParent(focus) == Handle());
}

bool TnxComboBoxWnd::Dropped() const {
  return SendMessage(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

int TnxComboBoxWnd::StateIndex() const {
  const HWND h = Handle();
  if (!IsWindowEnabled(h)) return 0;
  // The mouse over the inner edit is over the combo box too.
  const HWND hot = HotWindow(SkinManager());
  const bool above = SkinData()->MouseAbove || (hot && (hot == h || GetParent(hot) == h));
  return Focused() || Dropped() || above ? 1 : 0;
}

int TnxComboBoxWnd::ButtonState() const {
  const HWND h = Handle();
  if (!IsWindowEnabled(h)) return 0;
  if (Dropped()) return 2;
  return overButton_ && (SkinData()->MouseAbove || IsHotWindow()) ? 1 : 0;
}

TRect TnxComboBoxWnd::FieldRect() const {
  TRect c;
  GetClientRect(Handle(), &c);
  if ((StyleOf(Handle()) & CBS_TYPEMASK) == CBS_SIMPLE) {
    const int field = int(SendMessage(Handle(), CB_GETITEMHEIGHT, WPARAM(-1), 0)) + 8;
    c.Bottom = std::min(c.Bottom, field);
  }
  return c;
}

TRect TnxComboBoxWnd::ButtonRect() const {
  // Where the combo box takes clicks for its button.
  if ((StyleOf(Handle()) & CBS_TYPEMASK) == CBS_SIMPLE) return {};
  const TRect f = FieldRect();
  const int bw = GetSystemMetrics(SM_CXVSCROLL);
  return {f.Right - 2 - bw, 2, f.Right - 2, f.Bottom - 2};
}

void TnxComboBoxWnd::Redraw() {
  if (IsWindow(Handle()) && !Detached()) InvalidateRect(Handle(), nullptr, false);
}

void TnxComboBoxWnd::WndProc(TMessage& m) {
  const HWND h = Handle();
  if (IsManagerCommand(m)) {
    // The parts follow the manager with the combo box.
    TnxMainWnd::WndProc(m);
    for (TnxEditWnd* part : {edit_.get(), list_.get()})
      if (part && IsWindow(part->Handle())) SendMessage(part->Handle(), m.Msg, m.WParam, m.LParam);
    Redraw();
    return;
  }
  if (!Skinned()) {
    TnxMainWnd::WndProc(m);
    return;
  }
  TsCommonData* data = SkinData();
  switch (m.Msg) {
    case SM_NIRVEXCMD:
      if (CommandOf(m.WParam) == CmdMouseEnter || CommandOf(m.WParam) == CmdMouseLeave) {
        data->MouseAbove = CommandOf(m.WParam) == CmdMouseEnter;
        if (!data->MouseAbove) overButton_ = false;
        Redraw();
        return;
      }
      break;
    case WM_PAINT:
    case WM_PRINTCLIENT:
    case WM_ERASEBKGND:
      AnswerPaintMessages(m, [this](HDC dc) { Paint(dc); });
      return;
    case WM_MOUSEMOVE: {
      TnxMainWnd::WndProc(m);
      if (!IsWindow(h) || Detached()) return;
      const bool over = ButtonRect().Contains({GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
      if (over != overButton_) {
        overButton_ = over;
        Redraw();
      }
      TRACKMOUSEEVENT tme;
      tme.dwFlags = TME_LEAVE;
      tme.hwndTrack = h;
      TrackMouseEvent(&tme);
      return;
    }
    case WM_MOUSELEAVE: {
      TnxMainWnd::WndProc(m);
      if (!IsWindow(h) || Detached()) return;
      TPoint cursor;
      GetCursorPos(&cursor);
      TRect r;
      GetWindowRect(h, &r);
      // Onto the inner edit is no leaving: the edit becomes the hot window.
      if (!r.Contains(cursor)) MakeHot(false);
      overButton_ = false;
      Redraw();
      return;
    }
    default:
      break;
  }
  TnxMainWnd::WndProc(m);
  if (!IsWindow(h) || Detached()) return;
  switch (m.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_COMMAND:  // the inner edit's focus notices
      Redraw();
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case CB_SHOWDROPDOWN:
      AttachParts();
      break;
    default:
      break;
  }
}

void TnxComboBoxWnd::Paint(HDC given) {
  const HWND h = Handle();
  UpdateGeometry();
  // The list of a drop-down that opened from the keyboard in the inner edit
  // is met here first.
  if (!list_ && Dropped()) AttachParts();
  PAINTSTRUCT ps;
  HDC dc = given ? given : BeginPaint(h, &ps);
  TsCommonData* data = SkinData();
  data->PaintSuspended = data->IsPaintSuspended();
  if (dc && !data->PaintSuspended) {
    data->CacheInvalid = true;
    PrepareCache();
    if (data->CacheBmp && IsWindow(h)) {
      const TBitmap& cache = *data->CacheBmp;
      // A simple combo box's list lies below the field and paints itself.
      const TRect field = FieldRect();
      dc->BitBlt(0, 0, field.Width(), field.Height(), cache, 0, 0, SRCCOPY);
    }
  }
  if (!given) EndPaint(h, &ps);
}

void TnxComboBoxWnd::PrepareCache() {
  TsCommonData* data = SkinData();
  if (!data->CacheInvalid) return;
  const HWND h = Handle();
  UpdateGeometry();
  TEngineColours colours;
  TsSkinManager* m = SkinManager();
  const BackgroundInfo background =
      data->OwnerControl() ? data->GetParentBackground() : GetWindowBackground(h);
  if (!data->CacheBmp) data->CacheBmp = std::make_unique<TBitmap>(0, 0);
  TBitmap& cache = *data->CacheBmp;
  if (cache.PixelFormat() != TPixelFormat::pf24bit) cache.SetPixelFormat(TPixelFormat::pf24bit);
  TRect client;
  GetClientRect(h, &client);
  cache.SetSize(std::max(client.Width(), 0), std::max(client.Height(), 0));
  const TRect field = FieldRect();
  if (field.IsEmpty() || !m || !m->IsValidSectionIndex(data->SectionIndex)) {
    data->CacheInvalid = false;
    return;
  }
  const int state = StateIndex();
  // 1. The field.
  PaintControlItem(*data, background, true, true, &cache, WndPos(), field, state);
  TEngineColours::Reset();
  // 2. The button over the field, and the arrow on it.
  const TRect button = ButtonRect();
  if (!button.IsEmpty()) {
    const int buttonState = ButtonState();
    const int section = m->FindSectionIndex(ButtonSection);
    if (m->IsValidSectionIndex(section))
      PaintSectionItem(section, ButtonSection, BackgroundInfo{&cache, 0, 0, 1}, -1, -1, m, cache,
                       {button.Left, button.Top}, button, buttonState, true);
    // The arrow is the section's; a section without one (a combo box the
    // control adapter gave "EDIT") borrows the combo box section's.
    int glyph = m->FindMaskIndex(data->SectionIndex, data->SkinSection(), "GLYPHMASK");
    if (!m->IsValidMaskIndex(glyph))
      glyph = m->FindMaskIndex(m->FindSectionIndex("COMBOBOX"), "COMBOBOX", "GLYPHMASK");
    if (m->IsValidMaskIndex(glyph)) {
      const TsMaskData& mask = m->ma[std::size_t(glyph)];
      const TMaskFrame frame = TMaskFrame::Of(mask);
      if (frame.Valid)
        PaintStateImage(cache,
                        {button.Left + (button.Width() - frame.W) / 2,
                         button.Top + (button.Height() - frame.H) / 2},
                        buttonState, mask);
    }
  }
  // 3. A selection field's text (an edit field's text is the edit's own).
  if (!edit_ && !ChildOfClass(h, WC_EDIT)) DrawText(cache, field, state);
  // 4. Disabled: 40 % of the look over 60 % of what lies behind.
  const int w = cache.Width(), hgt = cache.Height();
  if (!IsWindowEnabled(h) && w > 0 && hgt > 0) {
    if (background.Ready && background.Bitmap) {
      const int x = WndPos().X + background.OffsetX, y = WndPos().Y + background.OffsetY;
      BlendBitmapRect(cache, 0, 0, 0xFFFFFFFF, 0.4, TRect{x, y, x + w - 1, y + hgt - 1},
                      *background.Bitmap);
    } else {
      BlendRectWithColor(cache, TRect{0, 0, w - 1, hgt - 1}, 40,
                         ColourAround(h, data->OwnerControl()));
    }
  }
  data->CacheInvalid = false;
}

void TnxComboBoxWnd::DrawText(TBitmap& cache, const TRect& field, int state) {
  const HWND h = Handle();
  TsCommonData* data = SkinData();
  TDC canvas(cache);
  if (TControl* owner = data->OwnerControl()) {
    canvas.SelectFont(owner->Font()->PlatformFont());
  } else {
    HFONT font = reinterpret_cast<HFONT>(SendMessage(h, WM_GETFONT, 0, 0));
    std::shared_ptr<const TFont> f = font ? GetFontObject(font) : nullptr;
    if (!f) f = GetFontObject(GetStockFont(DEFAULT_GUI_FONT));
    if (f) canvas.SelectFont(f);
  }
  const bool enabled = IsWindowEnabled(h);
  const TRect button = ButtonRect();
  const int right = button.IsEmpty() ? field.Right - 2 : button.Left;
  const TRect t{3, 3, right - 1, field.Bottom - 3};
  if (t.IsEmpty()) return;
  const int sel = int(SendMessage(h, CB_GETCURSEL, 0, 0));
  if ((StyleOf(h) & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0) {
    // The owner draws the chosen item, as for the plain combo box.
    const bool highlight = Focused() && !Dropped() && enabled;
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_COMBOBOX;
    dis.CtlID = UINT(GetDlgCtrlID(h));
    dis.itemID = UINT(sel);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = ODS_COMBOBOXEDIT | (highlight ? ODS_SELECTED | ODS_FOCUS : 0) |
                    (enabled ? 0 : ODS_DISABLED);
    dis.hwndItem = h;
    dis.hDC = &canvas;
    dis.rcItem = t;
    dis.itemData = sel >= 0 ? std::uintptr_t(SendMessage(h, CB_GETITEMDATA, WPARAM(sel), 0)) : 0;
    TDCSaver save(canvas);
    canvas.IntersectClipRect(t);
    if (HWND parent = GetParent(h)) SendMessage(parent, WM_DRAWITEM, dis.CtlID, LPARAM(&dis));
    return;
  }
  std::string text;
  if (sel >= 0) {
    const LRESULT n = SendMessage(h, CB_GETLBTEXTLEN, WPARAM(sel), 0);
    if (n > 0) {
      text.assign(std::size_t(n) + 1, '\0');
      SendMessage(h, CB_GETLBTEXT, WPARAM(sel),
                  LPARAM(reinterpret_cast<std::uintptr_t>(text.data())));
      text.resize(std::size_t(n));
    }
  }
  const std::uint32_t format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
  const TRect tr{t.Left + 2, t.Top, t.Right - 1, t.Bottom};
  // The focused field shows its choice selected, as the plain combo box does.
  if (Focused() && !Dropped() && enabled) {
    canvas.FillRect(t, GetSysColor(COLOR_HIGHLIGHT));
    canvas.SetBkMode(TRANSPARENT);
    canvas.SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
    TRect r = tr;
    canvas.DrawText(text, r, format);
    DrawFocusRect(&canvas, &t);
    return;
  }
  WriteControlText(*data, canvas, text, enabled, state != 0, state, format, tr);
}

void TnxComboBoxWnd::CleanUp() {
  if (TsCommonData* data = SkinData()) data->MouseAbove = false;
  overButton_ = false;
  if (Detached()) {
    list_.reset();
    edit_.reset();
  }
  TnxMainWnd::CleanUp();
  // Given back for good: the plain look at once.
  if (Detached() && IsWindow(Handle()))
    RedrawWindow(Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace vm
