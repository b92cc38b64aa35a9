#include "skin/state/ControlPaint.h"

#include "platform/gfx/SysColors.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/SectionPaint.h"
#include "skin/paint/SkinText.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/EngineColors.h"
#include "skin/state/CommonData.h"
#include "skin/state/SkinCommand.h"
#include "toolkit/Font.h"
#include "toolkit/Form.h"
#include "toolkit/WinControl.h"

namespace vm {

namespace {

struct TEngineColorsReset {
  ~TEngineColorsReset() {
    KeyFillColor = KeyColor;
    ParentColor = KeyColor;
  }
};

// Bit 2 of a border's StretchMode: the border has no normal-state picture.
constexpr int NoNormalBorder = 4;

}  // namespace

void PaintControlBackground(const TsCommonData& data, BackgroundInfo background, int state,
                            TBitmap& bitmap, TPoint position, TRect rect) {
  TColor custom = KeyColor;
  if (data.CustomColor()) {
    if (auto* frame = dynamic_cast<TsFrameOwner*>(data.OwnerObject()); frame && frame->FrameForm())
      custom = ColorToRGB(static_cast<TControl*>(frame->FrameForm())->Color());
    else if (data.OwnerControl())
      custom = ColorToRGB(data.OwnerControl()->Color());
  }
  PaintSectionBackground(data.SectionIndex, data.SkinSection(), background, custom,
                         data.HotTextureIndex, data.TextureIndex, data.GetSkinManager(), bitmap,
                         position, rect, state);
}

void PaintControlItem(const TsCommonData& data, BackgroundInfo background, bool fillCentre,
                      bool useBackground, TBitmap* bitmap, TPoint position, TRect rect, int state) {
  TEngineColorsReset reset;
  TsSkinManager* m = data.GetSkinManager();
  if (!bitmap || !m || !m->IsValidSectionIndex(data.SectionIndex)) return;
  if (!RectInsideBitmap(*bitmap, rect)) return;
  ParentColor = KeyColor;
  TControl* owner = data.OwnerControl();
  TWinControl* parent = owner ? owner->Parent() : nullptr;
  if (!background.Ready && parent) {
    KeyFillColor = ParentColor = ColorToRGB(parent->Color());
  } else if (background.Ready && parent && !data.IsSeeThrough() && ParentColor == KeyColor) {
    AskParentColour(parent);
  }
  PaintControlBackground(data, background, state, *bitmap, position, rect);
  if (m->IsValidMaskIndex(data.BorderMaskIndex)) {
    const TsMaskData& border = m->ma[std::size_t(data.BorderMaskIndex)];
    if (state != 0 || !(border.StretchMode & NoNormalBorder))
      PaintSectionBorder(data.BorderMaskIndex, m, *bitmap, position, rect, state, fillCentre,
                         useBackground, background);
  }
  KeyFillColor = KeyColor;
  ParentColor = KeyColor;
  PaintCornerImages(data.SectionIndex, data.SkinSection(), m, *bitmap, rect, state);
}

TColor AskParentColour(TControl* parent) {
  ParentColor = KeyColor;
  if (!parent) return ParentColor;
  if (SendCommand(parent, CmdGetColour) != 1 || ParentColor == KeyColor)
    ParentColor = parent->Color();
  ParentColor = ColorToRGB(ParentColor);
  return ParentColor;
}

void RefillCorners(TsCommonData& data, int state, int corners) {
  TEngineColorsReset reset;
  TsSkinManager* m = data.GetSkinManager();
  TControl* owner = data.OwnerControl();
  if (!m || !m->IsValidMaskIndex(data.BorderMaskIndex) || !data.CacheBmp || !owner ||
      owner->Width() < 2 || owner->Height() < 2)
    return;
  BackgroundInfo background = data.GetParentBackground();
  TWinControl* parent = owner->Parent();
  ParentColor = KeyColor;
  if (!parent) {
    ParentColor = KeyColor;
  } else if (!background.Ready) {
    ParentColor = ColorToRGB(parent->Color());
  } else if (SendCommand(parent, CmdQuerySeeThrough) == 1) {
    ParentColor = KeyColor;
  } else {
    AskParentColour(parent);
  }
  if (ParentColor == KeyColor) {
    background.OffsetX += owner->Left();
    background.OffsetY += owner->Top();
  } else {
    KeyFillColor = ParentColor;
  }
  RefillCornerPieces(*data.CacheBmp, m->ma[std::size_t(data.BorderMaskIndex)], state, corners,
                     background);
}

void RefillAllCorners(TsCommonData& data, int state) {
  RefillCorners(data, state, cnAll);
}

void WriteControlText(const TsCommonData& data, TDC& canvas, std::string_view text, bool enabled,
                      bool hot, int state, std::uint32_t format, TRect rect) {
  (void)state;  // the hot colour set follows `hot`, as for section text
  TControl* owner = data.OwnerControl();
  TDCSaver saver(canvas);
  if (owner) {
    if (hot && data.SkinSection() == "WEBBUTTON") {
      tk::TFont underlined;
      underlined.Assign(*owner->Font());
      underlined.SetStyle(underlined.Style() | tk::fsUnderline);
      canvas.SelectFont(underlined.PlatformFont());
    } else {
      canvas.SelectFont(owner->Font()->PlatformFont());
    }
  }
  canvas.IntersectClipRect(rect);
  if (!text.empty()) canvas.SetBkMode(TRANSPARENT);
  const TColor ownColour = owner ? ColorToRGB(owner->Font()->Color()) : canvas.TextColor();
  TsSkinManager* m = data.GetSkinManager();
  const bool valid = m && m->IsValidSectionIndex(data.SectionIndex);
  if (!enabled) {
    if (valid) {
      canvas.SetTextColor(SectionTextColors(m, data.SectionIndex, false, hot).Main);
    } else {
      canvas.SetTextColor(ownColour);
    }
    TRect r = rect;
    canvas.DrawText(text, r, format);
    return;
  }
  if (valid) {
    TsTextColors colors = SectionTextColors(m, data.SectionIndex, true, hot);
    if (data.CustomFont()) {
      for (TColor& c : colors.Contour) c = clNoContour;
      colors.Main = ownColour;
    }
    DrawContouredText(canvas, text, colors, format | DT_NOCLIP, rect);
    return;
  }
  canvas.SetTextColor(ownColour);
  TRect r = rect;
  canvas.DrawText(text, r, format | DT_NOCLIP);
}

}  // namespace vm
