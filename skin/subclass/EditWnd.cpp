#include "skin/subclass/EditWnd.h"

#include <algorithm>

#include "platform/controls/ControlDefs.h"
#include "platform/gfx/SysColors.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/SectionPaint.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/EngineColors.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/state/CommonData.h"
#include "skin/state/ScrollPainter.h"
#include "skin/state/SkinCommand.h"
#include "skin/subclass/ComboBoxWnd.h"
#include "skin/subclass/ScrollWnd.h"
#include "toolkit/WinControl.h"

namespace vm {

namespace {

bool IsColourQuestion(UINT msg) {
  return msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX || msg == WM_CTLCOLORSTATIC;
}

// While alive, the window a control asks for its colours answers that
// control's questions with the given colours; every other message, and the
// questions of other controls, go on to the window's own procedure. It lives
// only for one paint of the control, so the window keeps its own answers
// for everything the subclass does not paint.
class TColourAnswer {
 public:
  TColourAnswer(HWND asked, HWND control, TColor text, TColor back) : asked_(asked) {
    if (!asked_ || !IsWindow(asked_)) return;
    auto previous = std::make_shared<WNDPROC>();
    previous_ = previous;
    mine_ = WNDPROC::FromClosure(
        [previous, control, text, back](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
          if (IsColourQuestion(msg) && reinterpret_cast<HWND>(l) == control) {
            if (HDC dc = reinterpret_cast<HDC>(w)) {
              dc->SetTextColor(text);
              dc->SetBkColor(back);
            }
            return CtlColorResult(back);
          }
          return CallWindowProc(*previous, h, msg, w, l);
        });
    *previous = SetWindowProc(asked_, mine_);
  }
  ~TColourAnswer() {
    if (previous_) RemoveWindowProc(asked_, mine_, *previous_);
  }
  TColourAnswer(const TColourAnswer&) = delete;
  TColourAnswer& operator=(const TColourAnswer&) = delete;

 private:
  HWND asked_;
  WNDPROC mine_;
  std::shared_ptr<WNDPROC> previous_;
};

// Half of one colour and half of another, channel by channel.
TColor Halfway(TColor a, TColor b) {
  return RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2,
             (GetBValue(a) + GetBValue(b)) / 2);
}

}  // namespace

TColor ColourAround(HWND window, TControl* owner) {
  const HWND parent = window ? GetParent(window) : nullptr;
  ParentColor = KeyColor;
  TColor colour = KeyColor;
  if (parent && SendCommandToWindow(parent, CmdGetColour) == 1) colour = ParentColor;
  ParentColor = KeyColor;
  if (colour == KeyColor)
    colour = owner && owner->Parent() ? owner->Parent()->Color() : GetSysColor(COLOR_BTNFACE);
  return ColorToRGB(colour);
}

TnxEditWnd::TnxEditWnd(HWND window, bool repaint, const std::string& section,
                       TsSkinManager* manager, TsCommonData* commonData)
    : TnxMainWnd(window, repaint, section, manager, commonData) {
  if (Detached()) return;
  // A combo box's own list (a simple combo box's) reports to the combo box.
  const HWND parent = GetParent(window);
  if (parent && GetClassName(window) == WC_COMBOLBOX && GetClassName(parent) == WC_COMBOBOX)
    combo_ = parent;
  // The frame and the bars: the painter sits in front of this object and
  // paints the whole non-client area while the skin has what it needs.
  painter_ = MakeScrollPainter(window, *SkinData());
}

TnxEditWnd::~TnxEditWnd() {
  // Given back here, while this object's own clean-up still runs.
  Detach();
}

bool TnxEditWnd::Skinned() const {
  return SkinActive() && SkinManager()->IsValidSectionIndex(SkinData()->SectionIndex);
}

int TnxEditWnd::StateIndex() const {
  const HWND h = Handle();
  if (!IsWindowEnabled(h)) return 0;
  const TsCommonData* data = SkinData();
  return GetFocus() == h || data->Focused || data->MouseAbove || IsHotWindow() ? 1 : 0;
}

const TnxComboBoxWnd* TnxEditWnd::FieldOf() const {
  // A combo box's edit shows the colours of the combo box's field, whoever
  // skinned the edit (a dialog's walk reaches the edit first, as "EDIT").
  const HWND parent = GetParent(Handle());
  if (!parent || GetClassName(parent) != WC_COMBOBOX) return nullptr;
  const auto* combo = dynamic_cast<const TnxComboBoxWnd*>(SubclassOf(parent));
  return combo && combo->Skinned() && combo->SkinManager() == SkinManager() ? combo : nullptr;
}

TColor TnxEditWnd::TextColour() const {
  const TnxComboBoxWnd* field = FieldOf();
  const TsCommonData* data = field ? field->SkinData() : SkinData();
  const TsGeneralData& gd = SkinManager()->gd[std::size_t(data->SectionIndex)];
  const int state = field ? field->StateIndex() : StateIndex();
  return ColorToRGB(state ? gd.HotFontColor[0] : gd.FontColor[0]);
}

TColor TnxEditWnd::BackColour() const {
  const TnxComboBoxWnd* field = FieldOf();
  const TsCommonData* data = field ? field->SkinData() : SkinData();
  const TsGeneralData& gd = SkinManager()->gd[std::size_t(data->SectionIndex)];
  const int state = field ? field->StateIndex() : StateIndex();
  const TColor own = ColorToRGB(state ? gd.HotColor : gd.Color);
  if (IsWindowEnabled(Handle())) return own;
  // Disabled: half way to what lies around the field.
  return Halfway(own, ColourAround(Handle(), SkinData()->OwnerControl()));
}

HWND TnxEditWnd::ColourSource() const {
  return GetParent(combo_ && IsWindow(combo_) ? combo_ : Handle());
}

void TnxEditWnd::PaintThrough(TMessage& m) {
  TColourAnswer answer(ColourSource(), Handle(), TextColour(), BackColour());
  CallPrevious(m);
}

void TnxEditWnd::Redraw() {
  const HWND h = Handle();
  if (IsWindow(h) && !Detached()) RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

void TnxEditWnd::TrackHover(bool nonClient) {
  const HWND h = Handle();
  if (!IsWindow(h) || Detached()) return;
  if (IsWindowEnabled(h)) MakeHot(true);
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_LEAVE | (nonClient ? TME_NONCLIENT : 0);
  tme.hwndTrack = h;
  TrackMouseEvent(&tme);
}

void TnxEditWnd::PaintFrameStrips() {
  const HWND h = Handle();
  TRect window, client;
  GetWindowRect(h, &window);
  GetClientRect(h, &client);
  TPoint origin{0, 0};
  ClientToScreen(h, &origin);
  client = client.Offset(origin.X - window.Left, origin.Y - window.Top);
  const int w = window.Width(), hgt = window.Height();
  if (w <= 0 || hgt <= 0 || (client.Left <= 0 && client.Top <= 0)) return;
  // Where the platform's bars lie, the frame ends.
  int right = client.Right, bottom = client.Bottom;
  SCROLLBARINFO info;
  if (GetScrollBarInfo(h, OBJID_VSCROLL, &info) && !(info.rgstate[0] & STATE_SYSTEM_INVISIBLE))
    right = std::max(right, info.rcScrollBar.Right - window.Left);
  if (GetScrollBarInfo(h, OBJID_HSCROLL, &info) && !(info.rgstate[0] & STATE_SYSTEM_INVISIBLE))
    bottom = std::max(bottom, info.rcScrollBar.Bottom - window.Top);
  TsSkinManager* m = SkinManager();
  TsCommonData* data = SkinData();
  UpdateGeometry();
  std::unique_ptr<TBitmap> picture = CreateBitmap24(w, hgt);
  const BackgroundInfo behind =
      data->OwnerControl() ? data->GetParentBackground() : GetWindowBackground(h);
  KeyFillColor = KeyColor;
  ParentColor = KeyColor;
  PaintSectionItem(data->SectionIndex, data->SkinSection(), behind, -1, -1, m, *picture, WndPos(),
                   TRect{0, 0, w, hgt}, StateIndex(), true);
  KeyFillColor = KeyColor;
  ParentColor = KeyColor;
  // Asking for the background may have ended the window.
  if (!IsWindow(h) || Detached()) return;
  TScopedDC scoped(h, true);
  HDC dc = scoped.Dc();
  if (!dc) return;
  dc->BitBlt(0, 0, w, client.Top, *picture, 0, 0, SRCCOPY);
  dc->BitBlt(0, bottom, w, hgt - bottom, *picture, 0, bottom, SRCCOPY);
  dc->BitBlt(0, client.Top, client.Left, bottom - client.Top, *picture, 0, client.Top, SRCCOPY);
  dc->BitBlt(right, client.Top, w - right, bottom - client.Top, *picture, right, client.Top,
             SRCCOPY);
}

void TnxEditWnd::WndProc(TMessage& m) {
  const HWND h = Handle();
  if (m.Msg == SM_NIRVEXCMD &&
      (CommandOf(m.WParam) == CmdNewSkin || CommandOf(m.WParam) == CmdRefresh)) {
    // The base follows its manager; a skin that came back brings the
    // painter back, and the field and its frame show the new look.
    TnxMainWnd::WndProc(m);
    if (!IsWindow(h) || Detached()) return;
    if (!painter_ && Skinned()) painter_ = MakeScrollPainter(h, *SkinData());
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
      switch (CommandOf(m.WParam)) {
        case CmdMouseEnter:
        case CmdMouseLeave: {
          const bool above = CommandOf(m.WParam) == CmdMouseEnter;
          if (data->MouseAbove != above) {
            data->MouseAbove = above;
            Redraw();
            // A combo box's field is hot while the mouse is over its edit.
            const HWND parent = GetParent(h);
            if (parent && GetClassName(parent) == WC_COMBOBOX)
              InvalidateRect(parent, nullptr, false);
          }
          return;
        }
        default:
          break;
      }
      break;
    case WM_PAINT:
      MarkPaintedOnce();
      PaintThrough(m);
      return;
    case WM_PRINTCLIENT:
      PaintThrough(m);
      return;
    case WM_NCPAINT:
      // Reached only when the painter cannot paint (the skin lacks the bars'
      // sections): the platform's frame and bars, the frame then skinned.
      CallPrevious(m);
      if (IsWindow(h) && !Detached()) PaintFrameStrips();
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TnxMainWnd::WndProc(m);
      if (!IsWindow(h) || Detached()) return;
      data->Focused = m.Msg == WM_SETFOCUS;
      Redraw();
      return;
    case WM_ENABLE:
      TnxMainWnd::WndProc(m);
      if (!IsWindow(h) || Detached()) return;
      if (!IsWindowEnabled(h)) MakeHot(false);
      Redraw();
      return;
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
      TnxMainWnd::WndProc(m);
      TrackHover(m.Msg == WM_NCMOUSEMOVE);
      return;
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE: {
      TnxMainWnd::WndProc(m);
      if (!IsWindow(h) || Detached()) return;
      // Leaving the client for the frame (or back) is no leaving.
      TPoint cursor;
      GetCursorPos(&cursor);
      TRect r;
      GetWindowRect(h, &r);
      if (!r.Contains(cursor)) MakeHot(false);
      return;
    }
    default:
      break;
  }
  TnxMainWnd::WndProc(m);
}

void TnxEditWnd::CleanUp() {
  TsCommonData* data = SkinData();
  if (data) data->MouseAbove = false;
  // The skin removed or the window given back: the painter lets go too, and
  // the window shows its own frame and bars again. It is freed with this
  // object only: it may be inside its own painting now (asking the parent
  // for its background can end the window).
  if (painter_) {
    if (auto* p = dynamic_cast<TnxScrollWnd*>(painter_.get())) p->Detach();
    retired_.push_back(std::move(painter_));
  }
  TnxMainWnd::CleanUp();
  // Given back for good: the plain look at once.
  if (Detached() && IsWindow(Handle()))
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

}  // namespace vm
