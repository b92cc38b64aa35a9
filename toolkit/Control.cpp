#include "toolkit/Control.h"

#include <algorithm>
#include <unordered_map>

#include "platform/win/WinApi.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/PopupMenu.h"
#include "toolkit/WinControl.h"

namespace vm {

namespace {

// Live controls by address, with the serial each was given. A reference that
// remembers (address, serial) can tell a freed control from a new one that
// happens to get the same address.
std::unordered_map<const TControl*, std::uint64_t>& Alive() {
  static std::unordered_map<const TControl*, std::uint64_t> alive;
  return alive;
}
std::uint64_t gNextSerial = 0;

}  // namespace

bool ControlAlive(const TControl* c, std::uint64_t serial) {
  if (!c) return false;
  auto it = Alive().find(c);
  return it != Alive().end() && it->second == serial;
}

void TControlRef::Set(TControl* c) {
  control_ = c;
  serial_ = c ? c->Serial() : 0;
}

TControl* TControlRef::Get() const {
  return ControlAlive(control_, serial_) ? control_ : nullptr;
}

TControl::TControl(TComponent* owner) : TComponent(owner) {
  serial_ = ++gNextSerial;
  Alive()[this] = serial_;
  WindowProc = [this](TMessage& m) { WndProc(m); };
  font_ = std::make_unique<tk::TFont>();
  font_->OnChange = [this] {
    // A change of the font's own properties ends inheritance, unless it is
    // the parent's font being taken over.
    if (!takingParentFont_) parentFont_ = false;
    Perform(CM_FONTCHANGED);
  };
}

TControl::~TControl() {
  Destroying();
  Alive().erase(this);
  if (parent_) parent_->RemoveControl(this);
}

TCustomForm* TControl::GetParentForm() const {
  const TControl* c = this;
  while (c->parent_) c = c->parent_;
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  for (TControl* p = parent; p; p = p->parent_)
    if (p == this) throw std::invalid_argument("A control cannot be its own parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

bool TControl::ParentShowing() const {
  return parent_ && parent_->Showing();
}

bool TControl::Showing() const {
  return visible_ && ParentShowing();
}

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  TRect old = BoundsRect();
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (parent_) {
    parent_->InvalidateArea(old);
    parent_->InvalidateArea(BoundsRect());
    if (align_ != alNone) parent_->Realign();
    if (parent_) parent_->ChildBoundsChanged(this);
  }
  if (old.Width() != width_ || old.Height() != height_) Resize();
}

void TControl::SetClientWidth(int v) {
  SetWidth(v + width_ - ClientWidth());
}

void TControl::SetClientHeight(int v) {
  SetHeight(v + height_ - ClientHeight());
}

TPoint TControl::ClientOrigin() const {
  if (!parent_) return {left_, top_};
  TPoint p = parent_->ClientOrigin();
  return {p.X + left_, p.Y + top_};
}

TPoint TControl::ClientToScreen(TPoint p) const {
  TPoint o = ClientOrigin();
  return {p.X + o.X, p.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint p) const {
  TPoint o = ClientOrigin();
  return {p.X - o.X, p.Y - o.Y};
}

void TControl::SetAlign(TAlign a) {
  if (a == align_) return;
  align_ = a;
  if (parent_) parent_->Realign();
}

void TControl::SetVisible(bool v) {
  if (v == visible_) return;
  VisibleChanging();
  visible_ = v;
  Perform(CM_VISIBLECHANGED, v ? 1 : 0);
  if (parent_ && align_ != alNone) parent_->Realign();
  if (parent_) parent_->ChildBoundsChanged(this);
}

void TControl::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor c) {
  if (c == color_) {
    parentColor_ = false;
    return;
  }
  color_ = c;
  parentColor_ = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool v) {
  if (v == parentColor_) return;
  parentColor_ = v;
  if (v && parent_) ParentColorChanged();
}

void TControl::ParentColorChanged() {
  if (!parentColor_ || !parent_) return;
  if (color_ != parent_->Color()) {
    color_ = parent_->Color();
    Perform(CM_COLORCHANGED);
  }
}

void TControl::SetParentFont(bool v) {
  if (v == parentFont_) return;
  parentFont_ = v;
  if (v) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!parentFont_ || !parent_) return;
  takingParentFont_ = true;
  try {
    font_->Assign(*parent_->Font());
  } catch (...) {
    takingParentFont_ = false;
    throw;
  }
  takingParentFont_ = false;
}

void TControl::SetShowHint(bool v) {
  parentShowHint_ = false;
  if (v == showHint_) return;
  showHint_ = v;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool v) {
  if (v == parentShowHint_) return;
  parentShowHint_ = v;
  if (v) ParentShowHintChanged();
}

void TControl::ParentShowHintChanged() {
  if (!parentShowHint_ || !parent_) return;
  if (showHint_ != parent_->ShowHint()) {
    showHint_ = parent_->ShowHint();
    Perform(CM_SHOWHINTCHANGED);
  }
}

void TControl::SetText(const std::string& v) {
  if (v == text_) return;
  text_ = v;
  Perform(CM_TEXTCHANGED);
}

void TControl::SetCursor(TCursor c) {
  if (c == cursor_) return;
  cursor_ = c;
  Perform(CM_CURSORCHANGED);
}

void TControl::SetPopupMenu(tk::TPopupMenu* menu) {
  if (menu == popupMenu_) return;
  // A previous menu stays linked: it may still name this control as its
  // PopupComponent, which it must forget when the control goes.
  popupMenu_ = menu;
  if (menu) FreeNotification(menu);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

bool TControl::IsMouseMessageForSelf(const TMessage& m) const {
  return m.LParam == 0 || m.LParam == LPARAM(reinterpret_cast<std::intptr_t>(this));
}

LRESULT TControl::Perform(UINT msg, WPARAM w, LPARAM l) {
  TMessage m{msg, w, l, 0};
  if (WindowProc)
    WindowProc(m);
  else
    WndProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
      if (!enabled_ && m.Msg != WM_MOUSEMOVE) return;
      HandleMouse(m);
      return;
    case WM_PAINT:
      // A windowless control: the parent passes its context in WParam.
      if (m.WParam) PaintTo(reinterpret_cast<HDC>(m.WParam));
      return;
    case CM_MOUSEENTER:
      // The parents hear it too (LParam: the child); the event is the control's own.
      if (IsMouseMessageForSelf(m) && OnMouseEnter) OnMouseEnter(this);
      return;
    case CM_MOUSELEAVE:
      if (IsMouseMessageForSelf(m) && OnMouseLeave) OnMouseLeave(this);
      return;
    case CM_ENABLEDCHANGED:
    case CM_VISIBLECHANGED:
      if (parent_) parent_->InvalidateArea(BoundsRect());
      return;
    case CM_COLORCHANGED:
      ColorChanged();
      return;
    case CM_FONTCHANGED:
      FontChanged();
      return;
    case CM_TEXTCHANGED:
      TextChanged();
      return;
    case CM_PARENTCOLORCHANGED:
      ParentColorChanged();
      return;
    case CM_PARENTSHOWHINTCHANGED:
      ParentShowHintChanged();
      return;
    case CM_PARENTFONTCHANGED:
      ParentFontChanged();
      return;
    case CM_HITTEST:
      m.Result = 1;
      return;
    default:
      DefaultHandler(m);
  }
}

void TControl::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_GETTEXTLENGTH:
      m.Result = LRESULT(GetText().size());
      return;
    default:
      break;
  }
}

void TControl::HandleMouse(TMessage& m) {
  int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
  TShiftState shift = KeysToShiftState(m.WParam);
  const std::uint64_t me = serial_;
  switch (m.Msg) {
    case WM_MOUSEMOVE:
      MouseMove(shift, x, y);
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (m.Msg == WM_LBUTTONDBLCLK && (controlStyle_ & csDoubleClicks)) {
        DblClick();
        if (!ControlAlive(this, me)) return;
        shift |= ssDouble;
      }
      if (controlStyle_ & csClickEvents) controlState_ |= csClicked;
      controlState_ |= csLButtonDown;
      MouseDown(mbLeft, shift, x, y);
      return;
    case WM_LBUTTONUP: {
      bool clicked = (controlState_ & csClicked) != 0;
      controlState_ &= ~(csLButtonDown | csClicked);
      MouseUp(mbLeft, shift, x, y);
      if (!ControlAlive(this, me)) return;
      if (clicked && ClientRect().Contains({x, y})) Click();
      return;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      MouseDown(mbRight, shift, x, y);
      return;
    case WM_RBUTTONUP:
      MouseUp(mbRight, shift, x, y);
      return;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      MouseDown(mbMiddle, shift, x, y);
      return;
    case WM_MBUTTONUP:
      MouseUp(mbMiddle, shift, x, y);
      return;
  }
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::FontChanged() {
  Invalidate();
}

void TControl::ColorChanged() {
  Invalidate();
}

void TControl::TextChanged() {
  Invalidate();
}

void TControl::PaintTo(HDC) {}

void TControl::Invalidate() {
  if (parent_ && visible_) parent_->InvalidateArea(BoundsRect());
}

void TControl::Update() {
  if (parent_) parent_->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::BringToFront() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  list.push_back(this);
  parent_->InvalidateArea(BoundsRect());
}

void TControl::SendToBack() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  list.insert(list.begin(), this);
  parent_->InvalidateArea(BoundsRect());
}

}  // namespace vm
