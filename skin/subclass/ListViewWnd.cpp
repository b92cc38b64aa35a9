#include "skin/subclass/ListViewWnd.h"

#include <algorithm>
#include <cstdlib>

#include "platform/controls/ControlDefs.h"
#include "platform/gfx/SysColors.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/SectionPaint.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/EngineColors.h"
#include "skin/state/CommonData.h"
#include "skin/state/ControlPaint.h"
#include "skin/state/SkinCommand.h"
#include "toolkit/WinControl.h"

namespace vm {

namespace {

// The section of a list view's column header.
constexpr const char* HeaderSection = "COLHEADER";
// Within this distance of a column's right edge the header takes the
// pointer for resizing, not for a click on the column.
constexpr int DividerGrip = 4;

int ColumnCount(HWND header) {
  return std::max(0, int(SendMessage(header, HDM_GETITEMCOUNT, 0, 0)));
}

TRect ColumnRect(HWND header, int i) {
  TRect r;
  if (!SendMessage(header, HDM_GETITEMRECT, WPARAM(i),
                   LPARAM(reinterpret_cast<std::uintptr_t>(&r))))
    return {};
  return r;
}

}  // namespace

// ---------------------------------------------------------------- the header

bool TnxHeaderWnd::Skinned() const {
  if (!SkinActive() || !SkinManager()->IsValidSectionIndex(SkinData()->SectionIndex)) return false;
  // A header on a list the skin leaves plain stays plain with it.
  const auto* list = dynamic_cast<const TnxEditWnd*>(SubclassOf(GetParent(Handle())));
  return !list || list->Skinned();
}

int TnxHeaderWnd::ColumnAt(int x) const {
  const int n = ColumnCount(Handle());
  for (int i = 0; i < n; ++i) {
    const TRect r = ColumnRect(Handle(), i);
    if (x >= r.Left && x < r.Right) return i;
  }
  return -1;
}

bool TnxHeaderWnd::OnDivider(int x) const {
  const int n = ColumnCount(Handle());
  for (int i = 0; i < n; ++i)
    if (std::abs(x - ColumnRect(Handle(), i).Right) <= DividerGrip) return true;
  return false;
}

void TnxHeaderWnd::Redraw() {
  if (IsWindow(Handle()) && !Detached()) InvalidateRect(Handle(), nullptr, false);
}

void TnxHeaderWnd::SetHot(int column) {
  if (column == hot_) return;
  hot_ = column;
  Redraw();
}

void TnxHeaderWnd::WndProc(TMessage& m) {
  const HWND h = Handle();
  if (!Skinned()) {
    TnxMainWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case SM_NIRVEXCMD:
      if (CommandOf(m.WParam) == CmdMouseEnter || CommandOf(m.WParam) == CmdMouseLeave) {
        SkinData()->MouseAbove = CommandOf(m.WParam) == CmdMouseEnter;
        if (!SkinData()->MouseAbove) SetHot(-1);
        return;
      }
      break;
    case WM_PAINT:
    case WM_PRINTCLIENT:
    case WM_ERASEBKGND:
      AnswerPaintMessages(m, [this](HDC dc) { Paint(dc); });
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      // A press on a column (not on a divider) holds that column down while
      // the header keeps the mouse.
      const int x = GET_X_LPARAM(m.LParam);
      const int column =
          m.Msg == WM_LBUTTONDOWN && !OnDivider(x) && (GetWindowLongPtr(h, GWL_STYLE) & HDS_BUTTONS)
              ? ColumnAt(x)
              : -1;
      TnxMainWnd::WndProc(m);
      if (!IsWindow(h) || Detached()) return;
      if (column >= 0 && GetCapture() == h) {
        pressed_ = column;
        pressedShown_ = true;
        Redraw();
      }
      return;
    }
    case WM_MOUSEMOVE: {
      TnxMainWnd::WndProc(m);
      if (!IsWindow(h) || Detached()) return;
      const TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
      if (pressed_ >= 0) {
        const bool over = ColumnRect(h, pressed_).Contains(p);
        if (over != pressedShown_) {
          pressedShown_ = over;
          Redraw();
        }
      } else if (GetCapture() != h) {
        SetHot(IsWindowEnabled(h) ? ColumnAt(p.X) : -1);
      }
      TRACKMOUSEEVENT tme;
      tme.dwFlags = TME_LEAVE;
      tme.hwndTrack = h;
      TrackMouseEvent(&tme);
      return;
    }
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      TnxMainWnd::WndProc(m);
      if (!IsWindow(h) || Detached()) return;
      if (GetCapture() != h && pressed_ >= 0) {
        pressed_ = -1;
        pressedShown_ = false;
        Redraw();
      }
      return;
    case WM_MOUSELEAVE:
      TnxMainWnd::WndProc(m);
      if (!IsWindow(h) || Detached()) return;
      MakeHot(false);
      SetHot(-1);
      return;
    default:
      break;
  }
  TnxMainWnd::WndProc(m);
  if (m.Msg == WM_ENABLE && IsWindow(h) && !Detached()) Redraw();
}

void TnxHeaderWnd::Paint(HDC given) {
  const HWND h = Handle();
  PAINTSTRUCT ps;
  HDC dc = given ? given : BeginPaint(h, &ps);
  TsCommonData* data = SkinData();
  data->PaintSuspended = data->IsPaintSuspended();
  if (dc && !data->PaintSuspended) {
    data->CacheInvalid = true;
    PrepareCache();
    if (data->CacheBmp && IsWindow(h)) {
      const TBitmap& cache = *data->CacheBmp;
      dc->BitBlt(0, 0, cache.Width(), cache.Height(), cache, 0, 0, SRCCOPY);
    }
  }
  if (!given) EndPaint(h, &ps);
}

void TnxHeaderWnd::PrepareCache() {
  TsCommonData* data = SkinData();
  if (!data->CacheInvalid) return;
  const HWND h = Handle();
  UpdateGeometry();
  TsSkinManager* m = SkinManager();
  if (!data->CacheBmp) data->CacheBmp = std::make_unique<TBitmap>(0, 0);
  TBitmap& cache = *data->CacheBmp;
  if (cache.PixelFormat() != TPixelFormat::pf24bit) cache.SetPixelFormat(TPixelFormat::pf24bit);
  TRect client;
  GetClientRect(h, &client);
  cache.SetSize(std::max(client.Width(), 0), std::max(client.Height(), 0));
  if (cache.Empty() || !m || !m->IsValidSectionIndex(data->SectionIndex)) {
    data->CacheInvalid = false;
    return;
  }
  const BackgroundInfo behind = GetWindowBackground(h);
  TDC canvas(cache);
  {
    HFONT font = reinterpret_cast<HFONT>(SendMessage(h, WM_GETFONT, 0, 0));
    std::shared_ptr<const TFont> f = font ? GetFontObject(font) : nullptr;
    if (!f) f = GetFontObject(GetStockFont(DEFAULT_GUI_FONT));
    if (f) canvas.SelectFont(f);
  }
  const bool enabled = IsWindowEnabled(h);
  auto item = [&](const TRect& r, int state) {
    KeyFillColor = KeyColor;
    ParentColor = KeyColor;
    PaintSectionItem(data->SectionIndex, data->SkinSection(), behind, -1, -1, m, cache,
                     {WndPos().X + r.Left, WndPos().Y + r.Top}, r, state, true);
    KeyFillColor = KeyColor;
    ParentColor = KeyColor;
  };
  const int n = ColumnCount(h);
  int x = 0;
  for (int i = 0; i < n; ++i) {
    TRect r = ColumnRect(h, i);
    r.Top = 0;
    r.Bottom = client.Bottom;
    x = std::max(x, r.Right);
    if (r.IsEmpty()) continue;
    const bool down = i == PressedColumn();
    const int state = !enabled ? 0 : down ? 2 : i == hot_ ? 1 : 0;
    item(r, state);
    char text[260] = {};
    HDITEM hdi;
    hdi.mask = HDI_TEXT | HDI_FORMAT;
    hdi.pszText = text;
    hdi.cchTextMax = int(sizeof text);
    SendMessage(h, HDM_GETITEM, WPARAM(i), LPARAM(reinterpret_cast<std::uintptr_t>(&hdi)));
    const std::uint32_t align = (hdi.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT    ? DT_RIGHT
                                : (hdi.fmt & HDF_JUSTIFYMASK) == HDF_CENTER ? DT_CENTER
                                                                            : DT_LEFT;
    // The caption where the plain header puts it, a pixel right and down while held.
    const int shift = down ? 1 : 0;
    const TRect t{r.Left + 6 + shift, r.Top + shift, r.Right - 6, r.Bottom};
    TDCSaver save(canvas);
    canvas.IntersectClipRect({r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2});
    WriteControlText(*data, canvas, text, enabled, state != 0, state,
                     align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS, t);
  }
  // Past the last column the header goes on as one empty item.
  if (x < client.Right) item(TRect{x, 0, client.Right, client.Bottom}, 0);
  data->CacheInvalid = false;
}

TnxHeaderWnd::~TnxHeaderWnd() {
  // Given back here, while this object's own clean-up still runs.
  Detach();
}

void TnxHeaderWnd::CleanUp() {
  hot_ = pressed_ = -1;
  pressedShown_ = false;
  if (TsCommonData* data = SkinData()) data->MouseAbove = false;
  TnxMainWnd::CleanUp();
  if (Detached() && IsWindow(Handle())) InvalidateRect(Handle(), nullptr, true);
}

// ---------------------------------------------------------------- the list view

TnxListViewWnd::TnxListViewWnd(HWND window, bool repaint, const std::string& section,
                               TsSkinManager* manager, TsCommonData* commonData)
    : TnxEditWnd(window, repaint, section, manager, commonData) {
  if (Detached()) return;
  const HWND header = reinterpret_cast<HWND>(SendMessage(window, LVM_GETHEADER, 0, 0));
  if (header && IsWindow(header) && !QueryWindow(header, CmdQueryHandled))
    header_ = std::make_unique<TnxHeaderWnd>(header, true, HeaderSection, SkinManager(), nullptr);
  SyncColour();
}

TnxListViewWnd::~TnxListViewWnd() {
  // Given back here, while this object's own clean-up still runs.
  Detach();
}

void TnxListViewWnd::SyncColour() {
  const HWND h = Handle();
  if (!IsWindow(h) || Detached()) return;
  if (!Skinned()) {
    RestoreColour();
    return;
  }
  const TsGeneralData& gd = SkinManager()->gd[std::size_t(SkinData()->SectionIndex)];
  const TColor colour = IsWindowEnabled(h) ? ColorToRGB(gd.Color) : BackColour();
  if (colourSet_ && colour == skinColour_) return;
  // The colour the program set is remembered once and answered back.
  if (!colourSet_) ownColour_ = TColor(SendMessage(h, LVM_GETBKCOLOR, 0, 0));
  colourSet_ = true;
  skinColour_ = colour;
  TMessage set{LVM_SETBKCOLOR, 0, LPARAM(colour), 0};
  CallPrevious(set);
}

void TnxListViewWnd::RestoreColour() {
  if (!colourSet_) return;
  colourSet_ = false;
  const HWND h = Handle();
  if (!IsWindow(h)) return;
  TMessage set{LVM_SETBKCOLOR, 0, LPARAM(ownColour_), 0};
  if (Detached())
    SendMessage(h, LVM_SETBKCOLOR, 0, LPARAM(ownColour_));
  else
    CallPrevious(set);
}

void TnxListViewWnd::WndProc(TMessage& m) {
  const HWND h = Handle();
  switch (m.Msg) {
    case LVM_GETBKCOLOR:
      if (colourSet_) {
        m.Result = LRESULT(ownColour_);
        return;
      }
      break;
    case LVM_SETBKCOLOR:
      if (colourSet_) {
        // Kept for when the skin lets go; the skin's colour stays on show.
        ownColour_ = TColor(m.LParam);
        m.Result = 1;
        return;
      }
      break;
    case WM_PAINT:
      // The colour follows the skin and the enabled state before the list
      // paints (setting it only marks the list for this very paint).
      SyncColour();
      break;
    default:
      break;
  }
  TnxEditWnd::WndProc(m);
  if (!IsWindow(h) || Detached()) return;
  if (m.Msg == WM_ENABLE || (m.Msg == SM_NIRVEXCMD && (CommandOf(m.WParam) == CmdNewSkin ||
                                                       CommandOf(m.WParam) == CmdRefresh ||
                                                       CommandOf(m.WParam) == CmdRemoveSkin))) {
    SyncColour();
    if (header_ && IsWindow(header_->Handle()) && m.Msg == SM_NIRVEXCMD)
      SendMessage(header_->Handle(), m.Msg, m.WParam, m.LParam);
  }
}

void TnxListViewWnd::CleanUp() {
  if (Detached()) header_.reset();
  // A removed skin or a subclass letting go: the list's own colour again.
  RestoreColour();
  TnxEditWnd::CleanUp();
}

}  // namespace vm
