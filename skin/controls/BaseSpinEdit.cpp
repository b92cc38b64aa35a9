#include "skin/controls/BaseSpinEdit.h"

#include "platform/controls/Controls.h"
#include "platform/controls/MessageBox.h"
#include "skin/controls/SpinButton.h"
#include "skin/controls/TimerSpeedButton.h"
#include "skin/state/CommonData.h"
#include "skin/state/SkinCommand.h"

namespace vm {

namespace {

constexpr char32_t DecimalSeparator = U',';

}  // namespace

TsBaseSpinEdit::TsBaseSpinEdit(TComponent* owner) : TsEdit(owner) {
  button_ = new TsSpinButton(this);
  button_->SetName("Button");
  button_->SetVisible(true);
  button_->SetFocusControl(this);
  button_->OnUpClick = [this](TComponent* s) { UpClick(s); };
  button_->OnDownClick = [this](TComponent* s) { DownClick(s); };
  button_->SetParent(this);
  PlaceButton();
}

TsBaseSpinEdit::~TsBaseSpinEdit() = default;

void TsBaseSpinEdit::CreateParams(TCreateParams& params) {
  TsEdit::CreateParams(params);
  // The skin (or the client edge) draws the border; the arrows are a child.
  params.Style &= ~DWORD(WS_BORDER);
  params.Style |= WS_CLIPCHILDREN;
}

void TsBaseSpinEdit::CreateWnd() {
  TsEdit::CreateWnd();
  SetEditRect();
}

void TsBaseSpinEdit::SetEditRect() {
  if (!HandleAllocated() || !button_) return;
  TRect r{0, 0, ClientWidth() - button_->Width() - 2, ClientHeight() + 1};
  SendMessage(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

void TsBaseSpinEdit::PlaceButton() {
  if (!button_) return;
  button_->SetBounds(Width() - button_->Width() - 4, 0, button_->Width(), Height() - 4);
}

void TsBaseSpinEdit::RepaintArrows() {
  for (TsTimerSpeedButton* b : {button_->UpButton(), button_->DownButton()}) {
    SendCommand(b, CmdUpdate);
    b->SkinData()->CacheInvalid = true;
    b->Invalidate();
  }
}

void TsBaseSpinEdit::UpClick(TComponent*) {
  if (OnUpClick) OnUpClick(this);
}

void TsBaseSpinEdit::DownClick(TComponent*) {
  if (OnDownClick) OnDownClick(this);
}

bool TsBaseSpinEdit::IsValidChar(char32_t key) const {
  const bool valid = (key >= U'0' && key <= U'9') || key == U'+' || key == U'-' ||
                     key == DecimalSeparator || (key < 0x20 && key != U'\r');
  if (!editorEnabled_) return valid && key < 0x20 && key != 8;
  return valid;
}

bool TsBaseSpinEdit::DoKeyDown(int& key, TShiftState shift) {
  if (TsEdit::DoKeyDown(key, shift)) return true;
  TControlRef self(this);
  if (key == VK_UP) UpClick(this);
  if (self && key == VK_DOWN) DownClick(this);
  return false;
}

bool TsBaseSpinEdit::DoKeyPress(char32_t& key) {
  if (TsEdit::DoKeyPress(key)) return true;
  if (IsValidChar(key)) return false;
  key = 0;
  MessageBeep(0);
  return true;
}

void TsBaseSpinEdit::WndProc(TMessage& m) {
  TControlRef self(this);
  TsEdit::WndProc(m);
  if (!self || !button_) return;
  TsCommonData& data = *skinData_;
  switch (m.Msg) {
    case SM_NIRVEXCMD:
      switch (CommandOf(m.WParam)) {
        case CmdNewSkin:
        case CmdRemoveSkin:
        case CmdRefresh:
          if (m.LParam != reinterpret_cast<LPARAM>(data.GetSkinManager())) break;
          for (TsTimerSpeedButton* b : {button_->UpButton(), button_->DownButton()})
            b->Perform(m.Msg, m.WParam, m.LParam);
          button_->UpdateDefaultGlyphs();
          break;
        case CmdParentPainted:
          button_->Invalidate();
          break;
        default:
          break;
      }
      break;
    case WM_PAINT:
    case WM_NCPAINT:
      if (!data.IsPaintSuspended()) RepaintArrows();
      break;
    case WM_SIZE:
      PlaceButton();
      SetEditRect();
      break;
    case CM_ENABLEDCHANGED:
      button_->SetEnabled(Enabled());
      break;
    case CM_FONTCHANGED:
      button_->UpdateDefaultGlyphs();
      break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      // The field's look changed under the arrows.
      RepaintArrows();
      break;
    default:
      break;
  }
}

}  // namespace vm
