#include "skin/state/CommonData.h"

#include <algorithm>
#include <exception>
#include <unordered_map>

#include "platform/base/AsciiCase.h"
#include "platform/gfx/SysColors.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/EngineColors.h"
#include "skin/state/ControlPaint.h"
#include "skin/state/SkinCommand.h"
#include "toolkit/Application.h"
#include "toolkit/Edit.h"
#include "toolkit/Form.h"
#include "toolkit/WinControl.h"

namespace vm {

namespace {

// The system colours an edit control falls back to without a skin.
constexpr TColor EditWindowColor = TColor(0xFF000005);
constexpr TColor EditWindowTextColor = TColor(0xFF000008);
constexpr UINT WM_CANCELMODE_STATE = 29;  // drops hover and focus like a disable

LPARAM AsValue(const void* p) {
  return reinterpret_cast<LPARAM>(p);
}

// The state of each living owner control, so that a container can reach the
// hover state of its skinned children (speed buttons leaving on a sibling's
// entry).
std::unordered_map<const TControl*, TsCommonData*>& StatesByControl() {
  static std::unordered_map<const TControl*, TsCommonData*> map;
  return map;
}

void Answer(TMessage& m, LRESULT value) {
  m.Result = value;
  m.LParam = value;
}

}  // namespace

const char* DefaultSectionOf(int t) {
  switch (t) {
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
    case 10:
    case 41:
    case 76:
    case 78:
    case 83:
    case 84:
    case 96:
    case 97:
    case 131:
    case 140:
    case 227:
      return "EDIT";
    case 11:
    case 12:
    case 13:
    case 14:
    case 15:
    case 16:
    case 17:
    case 18:
    case 81:
    case 82:
      return "COMBOBOX";
    case 19:
      return "BAR";
    case 20:
      return "BARTITLE";
    case 32:
    case 152:
      return "CHECKBOX";
    case 33:
      return "RADIOBUTTON";
    case 51:
    case 59:
    case 68:
    case 73:
      return "PANEL";
    case 52:
    case 58:
      return "PANEL_LOW";
    case 53:
    case 54:
    case 60:
      return "TOOLBAR";
    case 56:
      return "DRAGBAR";
    case 57:
      return "TABSHEET";
    case 74:
    case 226:
      return "GROUPBOX";
    case 75:
      return "SPLITTER";
    case 92:
    case 95:
      return "SPEEDBUTTON";
    case 93:
    case 94:
      return "BUTTON";
    case 98:
      return "TOOLBUTTON";
    case 141:
    case 143:
      return "PAGECONTROL";
    case 151:
      return "STATUSBAR";
    case 161:
      return "GAUGE";
    case 165:
      return "TRACKBAR";
    default:
      return "";
  }
}

bool HasHotLook(int t) {
  if (t > 255) return true;
  return !((t >= 51 && t <= 74) || t == 110 || (t >= 141 && t <= 161));
}

TsCommonData::TsCommonData(TComponent* owner, bool withCache)
    : ownerObject_(owner),
      ownerControl_(dynamic_cast<TControl*>(owner)),
      ownerWindowed_(dynamic_cast<TWinControl*>(ownerControl_)),
      manager_(std::make_unique<TComponentLink<TsSkinManager>>()) {
  if (withCache) CacheBmp = std::make_unique<TBitmap>(0, 0);
  if (ownerControl_) StatesByControl()[ownerControl_] = this;
}

TsCommonData::~TsCommonData() {
  if (ownerControl_) {
    auto it = StatesByControl().find(ownerControl_);
    if (it != StatesByControl().end() && it->second == this) StatesByControl().erase(it);
  }
  BorderMaskIndex = SectionIndex = TextureIndex = HotTextureIndex = -1;
  ownerControl_ = nullptr;
  ownerObject_ = nullptr;
  manager_->Set(nullptr);
  CacheBmp.reset();
}

TsSkinManager* TsCommonData::SkinManager() const {
  return manager_->Get();
}

TsSkinManager* TsCommonData::GetSkinManager() const {
  TsSkinManager* stored = manager_->Get();
  return stored ? stored : DefaultManager();
}

bool TsCommonData::OwnerBusy() const {
  return ownerObject_ && (ownerObject_->IsLoading() || ownerObject_->IsDestroying());
}

TsFrameOwner* TsCommonData::FrameOwner() const {
  return dynamic_cast<TsFrameOwner*>(ownerObject_);
}

bool TsCommonData::EditOwner() const {
  return dynamic_cast<TCustomEdit*>(ownerControl_) != nullptr;
}

bool TsCommonData::IsOwnManager(LPARAM value) const {
  return value != 0 && value == AsValue(GetSkinManager());
}

void TsCommonData::SetSkinSection(const std::string& value) {
  if (value == skinSection_) return;
  skinSection_ = value.empty() ? std::string("UNKNOWN") : AsciiUpperCopy(value);
  TsSkinManager* m = GetSkinManager();
  if (!m || m->gd.empty())
    SectionIndex = -1;
  else
    UpdateIndexes();
  if (ownerControl_ && !OwnerBusy() && ownerControl_->Parent()) {
    const bool valid = m && m->SkinData.Active && m->IsValidSectionIndex(SectionIndex);
    SendCommand(ownerControl_, valid ? CmdRefresh : CmdRemoveSkin, AsValue(m));
  } else if (TsFrameOwner* frame = FrameOwner()) {
    CacheInvalid = true;
    frame->FreeFrameCache();
  }
}

void TsCommonData::SetSkinManager(TsSkinManager* value) {
  if (value == DefaultManager()) value = nullptr;
  if (value == manager_->Get()) return;
  manager_->Set(value);
  TsSkinManager* m = GetSkinManager();
  const bool hasSections = m && !m->gd.empty();
  if (!OwnerBusy()) {
    if (hasSections)
      UpdateIndexes();
    else
      SectionIndex = -1;
  }
  const bool valid = hasSections && m->IsValidSectionIndex(SectionIndex);
  const int command = valid ? CmdRefresh : CmdRemoveSkin;
  try {
    if (TsFrameOwner* frame = FrameOwner()) {
      frame->FrameCommand(command, m);
    } else if (ownerControl_ && ownerControl_->Parent() && !ownerControl_->IsDestroying()) {
      SendCommand(ownerControl_, command, AsValue(m));
    }
  } catch (const std::exception&) {
    // The owner failing to follow the change leaves the state as set.
  }
}

void TsCommonData::SetCustomColor(bool value) {
  if (value == customColor_) return;
  customColor_ = value;
  if (IsSkinned() && EditOwner() && !ownerControl_->IsLoading()) {
    const TsGeneralData& gd = GetSkinManager()->gd[std::size_t(SectionIndex)];
    if (!customColor_) ownerControl_->SetColor(gd.Color);
    if (!customFont_) ownerControl_->Font()->SetColor(gd.FontColor[0]);
  }
  Repaint();
}

void TsCommonData::SetCustomFont(bool value) {
  if (value == customFont_) return;
  customFont_ = value;
  Repaint();
}

BackgroundInfo TsCommonData::GetParentBackground() const {
  BackgroundAnswer.Ready = 0;
  if (!ownerControl_ || !ownerControl_->Parent()) return BackgroundInfo{};
  try {
    SendCommand(ownerControl_->Parent(), CmdGetBackground);
  } catch (const std::exception&) {
    return BackgroundInfo{};
  }
  return BackgroundAnswer;
}

BackgroundInfo GetWindowBackground(HWND window) {
  BackgroundAnswer.Ready = 0;
  HWND parent = window && IsWindow(window) ? GetParent(window) : nullptr;
  if (!parent || !(GetWindowLongPtr(window, GWL_STYLE) & WS_CHILD)) return BackgroundInfo{};
  try {
    SendCommandToWindow(parent, CmdGetBackground);
  } catch (const std::exception&) {
    return BackgroundInfo{};
  }
  return BackgroundAnswer;
}

void TsCommonData::Loaded() {
  ResolveSection();
  if (!IsSkinned() || !ownerControl_ || !ownerControl_->Parent() || ownerControl_->IsLoading())
    return;
  if (dynamic_cast<TWinControl*>(ownerControl_)) AnnounceToForm(ownerControl_);
  if (EditOwner() || ControlType == ctEditType) ApplyEditColors(true);
}

void TsCommonData::ResolveSection() {
  if (!skinSection_.empty()) {
    UpdateIndexes();
    return;
  }
  std::string section = DefaultSectionOf(ControlType);
  if (section.empty() && ownerObject_) section = ownerObject_->ClassName();
  // Stored without the setter's message to the owner: resolving happens while
  // the owner loads or inside command 1, when the manager's skin is not yet
  // active, and the setter would answer with command 2 and drop the indexes
  // just found. The commands that follow tell the owner.
  skinSection_ = section.empty() ? std::string("UNKNOWN") : AsciiUpperCopy(section);
  UpdateIndexes();
}

void TsCommonData::UpdateIndexes() {
  CacheInvalid = true;
  TsSkinManager* m = GetSkinManager();
  SectionIndex = m ? m->FindSectionIndex(skinSection_) : -1;
  if (SectionIndex < 0) {
    TextureIndex = HotTextureIndex = -1;
    BorderMaskIndex = -1;
    return;
  }
  BorderMaskIndex = m->FindMaskIndex(SectionIndex, skinSection_, "BORDERSMASK");
  TextureIndex = m->FindTextureIndex(SectionIndex, skinSection_, "PATTERN");
  HotTextureIndex = m->FindTextureIndex(SectionIndex, skinSection_, "HOTPATTERN");
}

void TsCommonData::Repaint() {
  if (!ownerControl_ || ownerControl_->IsDestroying() || ownerControl_->IsLoading()) return;
  CacheInvalid = true;
  TWinControl* wc = ownerWindowed_;
  if (wc && wc->HandleAllocated() && ownerControl_->Parent() && ownerControl_->Showing())
    ownerControl_->Repaint();
  else if (!wc && ownerControl_->Parent() && ownerControl_->Visible())
    ownerControl_->Invalidate();
}

void TsCommonData::BeginUpdate() {
  PaintSuspended = true;
  if (TsFrameOwner* frame = FrameOwner())
    SendCommand(static_cast<TControl*>(frame->FrameForm()), CmdBeginUpdate);
  else
    SendCommand(ownerControl_, CmdBeginUpdate);
}

void TsCommonData::EndUpdate() {
  PaintSuspended = false;
  if (TsFrameOwner* frame = FrameOwner())
    SendCommand(static_cast<TControl*>(frame->FrameForm()), CmdEndUpdate);
  else
    SendCommand(ownerControl_, CmdEndUpdate);
}

bool TsCommonData::IsSkinned(bool requireActive) const {
  if (!ownerObject_ || ownerObject_->IsDestroying()) return false;
  TsSkinManager* m = GetSkinManager();
  if (!m || m->IsDestroying()) return false;
  if (requireActive && !m->SkinData.Active) return false;
  return m->IsValidSectionIndex(SectionIndex);
}

bool TsCommonData::IsPaintSuspended() const {
  TsSkinManager* m = GetSkinManager();
  if (!m || !m->SkinData.Active) return true;
  if (!ownerControl_ || ownerControl_->IsDestroying()) return PaintSuspended;
  if (PaintSuspended) return true;
  if (!ownerControl_->Parent()) return true;
  return SendCommand(ownerControl_->Parent(), CmdQueryStale) == 1;
}

bool TsCommonData::IsSeeThrough() const {
  if (ForcedSeeThrough || !IsSkinned()) return true;
  if (!ownerControl_ || !ownerControl_->Parent() || ownerControl_->Width() <= 0 ||
      ownerControl_->Height() <= 0)
    return true;
  TsSkinManager* m = GetSkinManager();
  if (!m->IsValidSectionIndex(SectionIndex)) return false;
  const TsGeneralData& gd = m->gd[std::size_t(SectionIndex)];
  if (ownerControl_->Enabled() && gd.Transparency <= 0) return false;
  TWinControl* parent = ownerControl_->Parent();
  if (parent->HandleAllocated()) return SendCommand(parent, CmdQuerySeeThrough) == 1;
  return true;
}

bool TsCommonData::IsHot() const {
  if (!ownerControl_ || ownerControl_->IsDestroying() || !ownerControl_->Enabled() ||
      ownerControl_->IsDesigning())
    return false;
  if (Focused) return true;
  if (TWinControl* wc = ownerWindowed_; wc && wc->HandleAllocated() && wc->Focused()) return true;
  return MouseAbove && HasHotLook(ControlType);
}

bool TsCommonData::HasTransparency() const {
  TsSkinManager* m = GetSkinManager();
  return m && m->IsValidSectionIndex(SectionIndex) &&
         m->gd[std::size_t(SectionIndex)].Transparency > 0;
}

void TsCommonData::PrepareCache() {
  if (!CacheBmp) CacheBmp = std::make_unique<TBitmap>(0, 0);
  if (CacheBmp->PixelFormat() != TPixelFormat::pf24bit)
    CacheBmp->SetPixelFormat(TPixelFormat::pf24bit);
  const int w = ownerControl_ ? std::max(ownerControl_->Width(), 0) : 0;
  const int h = ownerControl_ ? std::max(ownerControl_->Height(), 0) : 0;
  if (CacheBmp->Width() != w || CacheBmp->Height() != h) CacheBmp->SetSize(w, h);
}

void TsCommonData::ApplyEditColors(bool skinned) {
  if (!ownerControl_) return;
  if (skinned) {
    TsSkinManager* m = GetSkinManager();
    if (!m || !m->IsValidSectionIndex(SectionIndex)) return;
    const TsGeneralData& gd = m->gd[std::size_t(SectionIndex)];
    if (!customColor_) ownerControl_->SetColor(gd.Color);
    if (!customFont_) ownerControl_->Font()->SetColor(gd.FontColor[0]);
  } else {
    if (!customColor_) ownerControl_->SetColor(EditWindowColor);
    if (!customFont_) ownerControl_->Font()->SetColor(EditWindowTextColor);
  }
}

TColor TsCommonData::OwnColour() const {
  if (ownerControl_) return ColorToRGB(ownerControl_->Color());
  if (TsFrameOwner* frame = FrameOwner(); frame && frame->FrameForm())
    return ColorToRGB(static_cast<TControl*>(frame->FrameForm())->Color());
  return ColorToRGB(TColor(0xFF00000F));
}

TColor TsCommonData::ColourAnswer() const {
  if (!IsSkinned()) return OwnColour();
  const TsGeneralData& gd = GetSkinManager()->gd[std::size_t(SectionIndex)];
  const int t = std::clamp(gd.Transparency, 0, 100);
  const TColor own = customColor_ ? OwnColour() : ColorToRGB(gd.Color);
  if (t == 0) return own;
  TWinControl* parent = ownerControl_ ? ownerControl_->Parent() : nullptr;
  const TColor p = parent ? AskParentColour(parent) : OwnColour();
  if (t == 100) return p;
  const TColor c = ColorToRGB(gd.Color);
  auto mix = [t](int pc, int cc) { return std::clamp(((pc - cc) * t + cc * 256) >> 8, 0, 255); };
  return RGB(mix(GetRValue(p), GetRValue(c)), mix(GetGValue(p), GetGValue(c)),
             mix(GetBValue(p), GetBValue(c)));
}

bool TsCommonData::QuerySeeThrough() {
  TsSkinManager* m = GetSkinManager();
  const TsGeneralData& gd = m->gd[std::size_t(SectionIndex)];
  if (gd.Transparency == 100 && ownerControl_ && ownerControl_->Parent())
    return SendCommand(ownerControl_->Parent(), CmdQuerySeeThrough) == 1;
  return gd.GradientPercent + gd.ImagePercent > 0 || IsSeeThrough();
}

bool TsCommonData::HandleCommand(TMessage& m) {
  const int command = CommandOf(m.WParam);
  const int argument = ArgumentOf(m.WParam);
  TsSkinManager* manager = GetSkinManager();
  switch (command) {
    case CmdNewSkin:
      if (!IsOwnManager(m.LParam)) return false;
      PaintSuspended = true;
      if (skinSection_.empty())
        ResolveSection();
      else
        UpdateIndexes();
      return false;
    case CmdRemoveSkin:
      if (!IsOwnManager(m.LParam)) return false;
      if (manager && manager->IsDestroying() && manager == manager_->Get()) manager_->Set(nullptr);
      BorderMaskIndex = SectionIndex = TextureIndex = HotTextureIndex = -1;
      PaintSuspended = true;
      if (CacheBmp) CacheBmp->SetSize(0, 0);
      if (EditOwner()) ApplyEditColors(false);
      return false;
    case CmdRefresh:
      if (!IsOwnManager(m.LParam)) return false;
      CacheInvalid = true;
      PaintSuspended = false;
      if (IsSkinned()) {
        if (EditOwner()) ApplyEditColors(true);
        if (ownerControl_ && dynamic_cast<TWinControl*>(ownerControl_) && ownerControl_->Parent())
          AnnounceToForm(ownerControl_);
      }
      return false;
    case CmdGetBackground:
      if (!CacheBmp) return false;
      BackgroundAnswer = BackgroundInfo{CacheBmp.get(), 0, 0, 1};
      Answer(m, 1);
      return true;
    case CmdQueryHandled:
      Answer(m, 1);
      return true;
    case CmdSetPaintSuspended:
      PaintSuspended = argument == 1;
      return true;
    case CmdSetSeeThrough:
      ForcedSeeThrough = argument == 1;
      return true;
    case CmdQueryStale:
      Answer(m, (CacheInvalid || IsPaintSuspended()) ? 1 : 0);
      return true;
    case CmdQueryMark:
      Answer(m, Mark ? 1 : 0);
      return true;
    case CmdInvalidateIfSeeThrough:
      if (argument == 1 && HasTransparency()) CacheInvalid = true;
      return true;
    case CmdRepaintSection:
      if (skinSection_ != CurrentSectionName) Repaint();
      return true;
    case CmdSetAnimatingChild:
      animatingChild_.Set(reinterpret_cast<TControl*>(m.LParam));
      return true;
    case CmdInvalidate:
      CacheInvalid = true;
      return true;
    case CmdQuerySeeThrough:
      if (!manager || !manager->IsValidSectionIndex(SectionIndex)) return false;
      Answer(m, QuerySeeThrough() ? 1 : 0);
      return true;
    case CmdRefreshBackground: {
      const bool see = IsSeeThrough();
      CacheInvalid = CacheInvalid || see;
      TWinControl* wc = ownerWindowed_;
      if (wc && argument == 1 && wc->HandleAllocated())
        RedrawWindow(wc->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_NOERASE);
      if (see && wc) {
        TControlRef self(wc);
        for (int i = 0; self && i < wc->ControlCount(); ++i) {
          TControl* child = wc->Controls(i);
          if (child && !child->IsDestroying())
            SendCommand(child, CmdRefreshBackground, 0, argument);
        }
      }
      return true;
    }
    case CmdGetColour:
      ParentColor = ColourAnswer();
      Answer(m, 1);
      return true;
    case CmdSetMark:
      Mark = true;
      return true;
    case CmdGetApplication:
      Answer(m, AsValue(Application));
      return true;
    default:
      return false;
  }
}

bool TsCommonData::HandleMessage(TMessage& m) {
  if (m.Msg == SM_NIRVEXCMD) return HandleCommand(m);
  TWinControl* wc = ownerWindowed_;
  switch (m.Msg) {
    case WM_MOVE:
      if (ownerControl_ && IsSeeThrough()) SendCommand(ownerControl_, CmdRefreshBackground, 0, 1);
      return false;
    case WM_SIZE:
      if (!IsSkinned()) return false;
      CacheInvalid = true;
      if (wc && GetSkinManager()->gd[std::size_t(SectionIndex)].GradientPercent >= 1) {
        // The gradient stretches with the owner: see-through children follow.
        TControlRef self(wc);
        for (int i = 0; self && i < wc->ControlCount(); ++i) {
          TControl* child = wc->Controls(i);
          if (child && !child->IsDestroying()) SendCommand(child, CmdRefreshBackground, 0, 1);
        }
      }
      return false;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (wc && wc->CanFocus() && wc->TabStop()) {
        CacheInvalid = true;
        Focused = m.Msg == WM_SETFOCUS;
      }
      return false;
    case WM_CANCELMODE_STATE:
    case CM_ENABLEDCHANGED:
      MouseAbove = false;
      Focused = false;
      return false;
    case CM_VISIBLECHANGED:
      if (CacheBmp && ownerControl_) {
        if (ownerControl_->Visible()) {
          PaintSuspended = false;
          CacheInvalid = true;
        } else {
          CacheBmp->SetSize(0, 0);
        }
      }
      return false;
    case WM_PARENTNOTIFY:
      if (wc && (m.WParam & 0xFFFF) == WM_CREATE) AnnounceToForm(ownerControl_);
      return false;
    case CM_MOUSEENTER:
      // Comes for the owner itself and, from each child the pointer enters,
      // with LParam = that child: the pointer is over the owner either way.
      if (!ownerControl_ || ownerControl_->IsDesigning()) return false;
      if (wc && !manager_->Get()) {
        // A speed button keeps its hot look until told; the pointer coming to
        // anything else on this container ends it.
        const LPARAM entering = m.LParam ? m.LParam : AsValue(ownerControl_);
        std::vector<TControlRef> children;
        for (int i = 0; i < wc->ControlCount(); ++i)
          if (TControl* child = wc->Controls(i); child && AsValue(child) != entering)
            children.emplace_back(child);
        for (TControlRef& ref : children) {
          TControl* child = ref.Get();
          if (!child) continue;
          auto it = StatesByControl().find(child);
          if (it == StatesByControl().end() || !it->second->MouseAbove) continue;
          if (it->second->ControlType != 92 && it->second->ControlType != 95) continue;
          child->Perform(CM_MOUSELEAVE, 0, AsValue(child));
        }
      }
      if (HasHotLook(ControlType)) MouseAbove = true;
      return false;
    case CM_MOUSELEAVE:
      // The pointer left the owner or one of its children (it comes back to
      // the owner, if it does, with CM_MOUSEENTER).
      if (!ownerControl_ || ownerControl_->IsDesigning()) return false;
      if (HasHotLook(ControlType)) MouseAbove = false;
      return false;
    case WM_UPDATEUISTATE:
      if (!IsSkinned()) return false;
      m.Result = 1;
      return true;
    default:
      return false;
  }
}

}  // namespace vm
