#include "skin/controls/CustomLabel.h"

#include "platform/gfx/SysColors.h"
#include "skin/data/SkinConvertor.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/SectionPaint.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/EngineColors.h"
#include "skin/state/ControlPaint.h"
#include "skin/state/SkinCommand.h"
#include "toolkit/WinControl.h"

namespace vm {

namespace {

// Held while a label writes its own font colour: the font-change message that
// write raises must neither resize nor repaint the label again. One for the
// process, as painting happens on the one user-interface thread.
bool gFontGuard = false;

class TFontGuard {
 public:
  TFontGuard() : held_(!gFontGuard) { gFontGuard = true; }
  ~TFontGuard() {
    if (held_) gFontGuard = false;
  }
  TFontGuard(const TFontGuard&) = delete;
  TFontGuard& operator=(const TFontGuard&) = delete;

 private:
  bool held_;
};

// The default manager when it has a skin to paint with.
TsSkinManager* ActiveDefaultManager() {
  TsSkinManager* m = DefaultManager();
  if (!m || m->IsDestroying() || !m->SkinData.Active || m->gd.empty()) return nullptr;
  return m;
}

LPARAM ManagerValue(const TsSkinManager* m) {
  return reinterpret_cast<LPARAM>(static_cast<const void*>(m));
}

constexpr TColor BtnHighlight = 0xFF000000u | COLOR_BTNHIGHLIGHT;
constexpr TColor BtnShadow = 0xFF000000u | COLOR_BTNSHADOW;

}  // namespace

TsCustomLabel::TsCustomLabel(TComponent* owner) : TLabel(owner) {
  SetTransparent(true);
}

void TsCustomLabel::SetSkinSection(const std::string& value) {
  if (value == skinSection_) return;
  skinSection_ = value;
  Invalidate();
}

void TsCustomLabel::SetEllipsisPosition(TEllipsisPosition value) {
  if (value == ellipsisPosition_) return;
  ellipsisPosition_ = value;
  Invalidate();
}

TColor TsCustomLabel::CurrentFontColor() const {
  const TColor own = Font()->Color();
  if (!FollowsSkinColor()) return own;
  TsSkinManager* m = ActiveDefaultManager();
  if (!m) return own;
  const int global = m->FindSectionIndex("GLOBALINFO");
  if (!m->IsValidSectionIndex(global)) return own;
  const TColor skin = m->gd[std::size_t(global)].FontColor[0];
  if (skin == clNone) return own;
  return skin;
}

int TsCustomLabel::PaintedSectionIndex() const {
  if (skinSection_.empty()) return -1;
  TsSkinManager* m = ActiveDefaultManager();
  if (!m) return -1;
  // Index 0 is the skin's global section, which is not painted as an item.
  const int i = m->FindSectionIndex(UpperCaseAscii(skinSection_));
  return i > 0 && m->IsValidSectionIndex(i) ? i : -1;
}

void TsCustomLabel::SetFontColorQuietly(TColor colour) {
  if (Font()->Color() == colour) return;
  TFontGuard guard;
  // Writing the colour would end the use of the parent's font; a label that
  // follows its parent's font keeps doing so.
  const bool parentFont = parentFont_;
  Font()->SetColor(colour);
  parentFont_ = parentFont;
}

void TsCustomLabel::FontChanged() {
  if (gFontGuard) return;
  TLabel::FontChanged();
}

bool TsCustomLabel::SkinRemoved() {
  SetFontColorQuietly(clWindowText);
  return false;
}

void TsCustomLabel::Paint() {
  if (!gFontGuard) SetFontColorQuietly(CurrentFontColor());
  HDC dc = PaintDC();
  const int section = PaintedSectionIndex();
  if (section > 0) {
    TsSkinManager* m = DefaultManager();
    SetFontColorQuietly(m->gd[std::size_t(section)].FontColor[0]);
    // What lies behind the label: its parent's picture, when the parent keeps one.
    BackgroundAnswer.Ready = 0;
    BackgroundInfo background;
    if (Parent()) {
      try {
        SendCommand(Parent(), CmdGetBackground);
        background = BackgroundAnswer;
      } catch (const std::exception&) {
        background = BackgroundInfo{};
      }
    }
    PaintSectionToDC(section, UpperCaseAscii(skinSection_), background, m, *dc,
                     {Left() + background.OffsetX, Top() + background.OffsetY}, ClientRect(), 0,
                     true);
  }
  DrawLabelText(*dc, ClientRect(), TextFlags());
}

void TsCustomLabel::DrawLabelText(TDC& dc, TRect rect, std::uint32_t flags) {
  if (!Transparent()) {
    Canvas()->Brush().SetColor(Color());
    Canvas()->FillRect(rect);
  }
  switch (ellipsisPosition_) {
    case epNone:
      break;
    case epPathEllipsis:
      flags |= DT_PATH_ELLIPSIS;
      break;
    case epEndEllipsis:
      flags |= DT_END_ELLIPSIS;
      break;
    case epWordEllipsis:
      flags |= DT_WORD_ELLIPSIS;
      break;
  }
  dc.SelectFont(Font()->PlatformFont());
  dc.SetBkMode(TRANSPARENT);
  const std::string text = Caption();
  TRect r = rect;
  if (Layout() != tlTop) {
    TRect calc = Rect(0, 0, rect.Width(), 0);
    dc.DrawText(text, calc, flags | DT_CALCRECT);
    const int dy =
        Layout() == tlCenter ? (rect.Height() - calc.Height()) / 2 : rect.Height() - calc.Height();
    r = r.Offset(0, dy);
  }
  if (!Enabled()) {
    if (ActiveDefaultManager()) {
      // Under a skin disabled text is the font colour taken 60 percent of the
      // way toward the colour behind the label.
      const TColor behind = AskParentColour(Parent());
      ::vm::ParentColor = KeyColor;
      dc.SetTextColor(MixColors(ColorToRGB(Font()->Color()), behind, 0.4));
      dc.DrawText(text, r, flags);
      return;
    }
    // The classic engraved look.
    TRect lit = r.Offset(1, 1);
    dc.SetTextColor(BtnHighlight);
    dc.DrawText(text, lit, flags);
    dc.SetTextColor(BtnShadow);
    dc.DrawText(text, r, flags);
    return;
  }
  dc.SetTextColor(Font()->Color());
  dc.DrawText(text, r, flags);
}

void TsCustomLabel::WndProc(TMessage& m) {
  if (m.Msg == SM_NIRVEXCMD) {
    TsSkinManager* def = DefaultManager();
    const bool fromDefault = def && m.LParam == ManagerValue(def);
    switch (CommandOf(m.WParam)) {
      case CmdQueryHandled:
        // The engine's labels paint themselves with the skin: the control
        // adapter must leave their colours and transparency alone.
        m.Result = m.LParam = 1;
        return;
      case CmdRemoveSkin:
        if (fromDefault) {
          const bool consumed = SkinRemoved();
          Invalidate();
          if (consumed) {
            m.Result = 0;
            return;
          }
        }
        break;
      case CmdRefresh:
      case CmdUpdate:
        // The new skin's colours and section show at the next paint.
        if (fromDefault) Invalidate();
        break;
      default:
        break;
    }
  }
  TLabel::WndProc(m);
}

}  // namespace vm
