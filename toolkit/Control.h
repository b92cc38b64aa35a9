// TControl: the base of every visible part of a form.
//
// A control has a parent (a windowed control that shows it), bounds in the
// parent's client coordinates, an alignment that lets the parent lay it out,
// visibility, an enabled state, a colour and font it may take from its parent,
// a hint, a caption and mouse events. Windowless controls (TGraphicControl)
// are drawn by their parent and get their mouse messages from it; windowed
// ones (TWinControl) own a platform window.
//
// Every message a control handles goes through WindowProc, which starts out
// as the control's own WndProc. Whoever replaces WindowProc (the skin engine
// hooks controls and forms this way) keeps the previous value and calls it
// for what it does not handle, and puts it back when done.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/DC.h"
#include "platform/gfx/Types.h"
#include "toolkit/Component.h"
#include "toolkit/Font.h"
#include "toolkit/Messages.h"

namespace vm {

class TWinControl;
class TCustomForm;
namespace tk {
class TPopupMenu;
}

// Event types.
using TNotifyEvent = std::function<void(TComponent* Sender)>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Shift state: keys and mouse buttons held (a flag set).
using TShiftState = unsigned;
inline constexpr TShiftState ssShift = 1u << 0;
inline constexpr TShiftState ssAlt = 1u << 1;
inline constexpr TShiftState ssCtrl = 1u << 2;
inline constexpr TShiftState ssLeft = 1u << 3;
inline constexpr TShiftState ssRight = 1u << 4;
inline constexpr TShiftState ssMiddle = 1u << 5;
inline constexpr TShiftState ssDouble = 1u << 6;

using TMouseEvent =
    std::function<void(TComponent* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TComponent* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TComponent* Sender, int& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TComponent* Sender, char32_t& Key)>;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
// Horizontal alignment of text, and its vertical layout.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

// Mouse cursors: the platform's stock cursors under the toolkit's numbers.
using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;

// ControlState: what is happening to a control right now (a flag set).
using TControlState = unsigned;
inline constexpr TControlState csLButtonDown = 1u << 0;  // the left button went down on it
inline constexpr TControlState csClicked = 1u << 1;      // a click is in progress
inline constexpr TControlState csAlignmentNeeded = 1u << 2;
inline constexpr TControlState csFocusing = 1u << 3;
inline constexpr TControlState csCreating = 1u << 4;  // a form's constructor is running
inline constexpr TControlState csPaintCopy = 1u << 5;
inline constexpr TControlState csCustomPaint = 1u << 6;
inline constexpr TControlState csDestroyingHandle = 1u << 7;

// ControlStyle: what kind of control it is (a flag set).
using TControlStyle = unsigned;
inline constexpr TControlStyle csAcceptsControls = 1u << 0;
inline constexpr TControlStyle csCaptureMouse = 1u << 1;
inline constexpr TControlStyle csClickEvents = 1u << 2;
inline constexpr TControlStyle csFramed = 1u << 3;
inline constexpr TControlStyle csSetCaption = 1u << 4;
inline constexpr TControlStyle csOpaque = 1u << 5;  // paints every pixel of its bounds
inline constexpr TControlStyle csDoubleClicks = 1u << 6;
inline constexpr TControlStyle csFixedWidth = 1u << 7;
inline constexpr TControlStyle csFixedHeight = 1u << 8;
inline constexpr TControlStyle csReplicatable = 1u << 9;
inline constexpr TControlStyle csNoStdEvents = 1u << 10;
inline constexpr TControlStyle csParentBackground = 1u << 11;

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  std::string ClassName() const override { return "TControl"; }

  // ---- Parent and placement ----
  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  // The form the control is on (itself for a form), or nullptr.
  TCustomForm* GetParentForm() const;

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  // Negative sizes become 0. Aligned controls are laid out again by their parent.
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  // The client area in the control's own coordinates.
  virtual TRect ClientRect() const { return Rect(0, 0, width_, height_); }
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  virtual void SetClientWidth(int v);
  virtual void SetClientHeight(int v);
  // The top-left of the client area relative to the bounds' top-left.
  virtual TPoint ClientOrigin() const;  // screen coordinates of client (0, 0)
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;

  TAlign Align() const { return align_; }
  void SetAlign(TAlign a);

  // ---- State ----
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible with every parent up to a shown top-level window.
  virtual bool Showing() const;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);

  TColor Color() const { return color_; }
  void SetColor(TColor c);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool v);

  // The control's font; while ParentFont is on it follows the parent's.
  tk::TFont* Font() const { return font_.get(); }
  void SetFont(const tk::TFont& font) { font_->Assign(font); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool v);

  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& v) { hint_ = v; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool v);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool v);

  // Caption and Text are the same value (labels and buttons call it Caption,
  // edits call it Text).
  std::string Caption() const { return GetText(); }
  void SetCaption(const std::string& v) { SetText(v); }
  virtual std::string GetText() const { return text_; }
  virtual void SetText(const std::string& v);

  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor c);

  // The shortcut menu a right click (or the context-menu key) opens on the
  // control; without one the parent's opens. Its items' shortcuts work while
  // the control or a child of it has the focus.
  tk::TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(tk::TPopupMenu* menu);

  TControlState ControlState() const { return controlState_; }
  void SetControlState(TControlState s) { controlState_ = s; }
  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle s) { controlStyle_ = s; }

  // ---- Messages ----
  // CM_MOUSEENTER and CM_MOUSELEAVE come to the control the pointer entered
  // or left and then to each of its parents, with LParam = that control (0
  // from older senders means the receiver itself). True when the message is
  // about this control itself rather than one of its children.
  bool IsMouseMessageForSelf(const TMessage& message) const;
  // Runs a message through WindowProc at once and returns its result.
  LRESULT Perform(UINT msg, WPARAM w = 0, LPARAM l = 0);
  // The current message procedure; see the file comment.
  TWndMethod WindowProc;
  // The control's own handling. Overrides call the base for what they leave.
  virtual void WndProc(TMessage& message);
  // What happens to a message nobody handled.
  virtual void DefaultHandler(TMessage& message);

  // ---- Painting ----
  // Marks the control's area for painting (through its parent's window for a windowless control).
  virtual void Invalidate();
  // Paints what is marked now.
  virtual void Update();
  // Invalidate and Update.
  virtual void Repaint();
  void Refresh() { Repaint(); }

  // ---- Z-order among the parent's children ----
  void BringToFront();
  void SendToBack();

  virtual void Click();

  // ---- Events ----
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnResize;

  // Bumped for each control so that weak references can detect a freed one
  // whose address was reused (see TControlRef).
  std::uint64_t Serial() const { return serial_; }

 protected:
  // Called when the bounds changed (after the parent's layout).
  virtual void Resize();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void DblClick();
  // The control's font or colour changed (its own or inherited); default repaints.
  virtual void FontChanged();
  virtual void ColorChanged();
  virtual void TextChanged();
  virtual void VisibleChanging() {}
  void Notification(TComponent* component, TOperation operation) override;
  // Whether this control, given its parent, is drawn on the screen now.
  bool ParentShowing() const;
  // A windowless control paints itself into its parent's device context; the
  // origin is moved to its top-left and the clip is its bounds.
  virtual void PaintTo(HDC dc);
  // Marks a rectangle of this control's client area for painting (windowed controls).
  virtual void InvalidateArea(const TRect& r) { (void)r; }

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  TAlign align_ = alNone;
  bool visible_ = true;
  bool enabled_ = true;
  TColor color_ = 0xFF00000F;  // clBtnFace
  bool parentColor_ = false;
  std::unique_ptr<tk::TFont> font_;
  bool parentFont_ = true;
  std::string hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  std::string text_;
  TCursor cursor_ = crDefault;
  tk::TPopupMenu* popupMenu_ = nullptr;
  TControlState controlState_ = 0;
  TControlStyle controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;

 private:
  friend class TWinControl;
  friend class TScrollingWinControl;
  void HandleMouse(TMessage& m);
  void ParentColorChanged();
  void ParentShowHintChanged();
  void ParentFontChanged();
  bool takingParentFont_ = false;

  std::uint64_t serial_ = 0;
};

// A reference to a control that turns null when the control is freed.
class TControlRef {
 public:
  TControlRef() = default;
  TControlRef(TControl* c) { Set(c); }  // NOLINT: a control is a reference
  void Set(TControl* c);
  // The control, or nullptr when it has been freed since.
  TControl* Get() const;
  explicit operator bool() const { return Get() != nullptr; }

 private:
  TControl* control_ = nullptr;
  std::uint64_t serial_ = 0;
};

// Whether a control object with this serial is alive.
bool ControlAlive(const TControl* c, std::uint64_t serial);

}  // namespace vm
