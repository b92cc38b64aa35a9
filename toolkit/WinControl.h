// TWinControl: a control that owns a platform window.
//
// The window is made on demand (HandleNeeded, or the first read of Handle)
// from what CreateParams chooses: window class, styles, position and parent
// window. Every message of the window arrives at the control's WindowProc
// (and so its virtual WndProc); what is left goes to DefaultHandler, the
// class's default platform procedure. A control over a platform window class
// ("BUTTON", "EDIT", ...) calls CreateSubClass in its CreateParams: its
// window then belongs to a class named after the control ("TButton") whose
// default procedure is the platform class's own procedure.
//
// Child controls: windowed children get child windows; windowless children
// are painted in this control's WM_PAINT, bottom to top in their list order,
// each clipped to its bounds, and get the mouse messages that fall on them
// (the topmost one under the pointer; while a button is held, the one it
// went down on).
#pragma once

#include <string>
#include <vector>

#include "platform/win/WinApi.h"
#include "toolkit/Control.h"

namespace vm {

// What CreateParams fills in for CreateWnd.
struct TCreateParams {
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  WNDCLASS WindowClass;  // the class registered under WinClassName when missing
  std::string WinClassName;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  std::string ClassName() const override { return "TWinControl"; }

  // ---- The window ----
  // Creates the window (and those of the windowed children) when it does not exist yet.
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded();
  // Destroys the window; it is made again when next needed.
  void DestroyHandle();
  // Destroys and re-creates the window (after a change of styles).
  void RecreateWnd();
  // The parent window for a control without a parent control.
  HWND ParentWindow() const { return parentWindow_; }
  void SetParentWindow(HWND h);

  // ---- Children ----
  int ControlCount() const { return int(controls_.size()); }
  // Children in z-order, bottom first; nullptr when out of range.
  TControl* Controls(int index) const;
  // The topmost visible child at a point of the client area (windowless and
  // windowed; disabled ones only with allowDisabled), or nullptr.
  TControl* ControlAtPos(TPoint p, bool allowDisabled, bool allowWinControls = false) const;
  bool ContainsControl(const TControl* c) const;
  // Lays out the aligned children again.
  void Realign();
  void DisableAlign() { ++alignLevel_; }
  void EnableAlign();

  // ---- Focus and keyboard ----
  virtual bool CanFocus() const;
  virtual void SetFocus();
  virtual bool Focused() const;
  int TabOrder() const;
  void SetTabOrder(int order);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool v);
  // The windowed descendants in tab order (depth first).
  void GetTabOrderList(std::vector<TWinControl*>& list) const;
  // The next (or previous) control after current that can take the focus by
  // Tab, among this control's descendants; wraps around.
  TWinControl* FindNextControl(TWinControl* current, bool forward, bool checkTabStop,
                               bool checkParent) const;
  void SelectNext(TWinControl* current, bool forward, bool checkTabStop);

  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

  // ---- Painting ----
  bool DoubleBuffered() const { return doubleBuffered_; }
  void SetDoubleBuffered(bool v);
  // Paints the windowless children into dc (client coordinates of this
  // control), starting above `first` when it is given.
  void PaintControls(HDC dc, TControl* first);
  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  void InvalidateArea(const TRect& r) override;

  // ---- Geometry ----
  void SetBounds(int left, int top, int width, int height) override;
  TRect ClientRect() const override;
  TPoint ClientOrigin() const override;
  // Visible with every parent up to a shown top-level window (its window
  // is visible on the screen). Whenever that changes (the control or one of
  // its parents shown or hidden, the window made) the control hears
  // CM_SHOWINGCHANGED, after the change, parents before their children.
  bool Showing() const override;
  void SetText(const std::string& v) override;
  std::string GetText() const override;

  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

  // The control whose window is h (made by the toolkit), or nullptr.
  static TWinControl* FindControl(HWND h);

  // Binds a window being created to its control (the first message of the window).
  static LRESULT BindWindow(TWinControl* c, HWND h, UINT msg, WPARAM w, LPARAM l);

  // Called by TControl when children come and go.
  void InsertControl(TControl* c);
  void RemoveControl(TControl* c);

 protected:
  virtual void CreateParams(TCreateParams& params);
  // Registers the class when needed and creates the window.
  virtual void CreateWnd();
  virtual void DestroyWnd();
  // Runs after the window exists (children made, state applied).
  virtual void CreateHandle();
  // Makes this control's window a member of a class named after the control
  // whose default procedure is that of the platform class `platformClass`.
  void CreateSubClass(TCreateParams& params, const std::string& platformClass);
  // Paints the control's own face (the window's background already erased).
  virtual void PaintWindow(HDC dc);
  // A child moved, changed size or was shown or hidden.
  virtual void ChildBoundsChanged(TControl* child) { (void)child; }
  // Lays out aligned children within rect (client coordinates).
  virtual void AlignControls(TControl* control, TRect& rect);
  // Room the children may use (client rect minus borders a subclass draws).
  virtual TRect AdjustClientRect();
  virtual void DoEnter();
  virtual void DoExit();
  // Keyboard handlers; return true when the key was used up.
  virtual bool DoKeyDown(int& key, TShiftState shift);
  virtual bool DoKeyPress(char32_t& key);
  virtual bool DoKeyUp(int& key, TShiftState shift);
  // A key the control would leave to the dialog (Tab, Enter, Escape, arrows):
  // offered to the form as CM_DIALOGKEY. Returns true when it was used.
  bool DialogKey(int key, TShiftState shift);
  // Whether the window wants this key itself (WM_GETDLGCODE).
  bool WantsKey(int key);
  // Sends the window state of this control to its window (visible, enabled, text, bounds).
  void UpdateWindowState();
  void SetWindowVisible(bool show);

  bool tabStop_ = false;
  bool ownClass_ = true;
  int alignLevel_ = 0;  // the window's class is the toolkit's own (not a platform class)

 private:
  friend class TControl;
  void MainWndProc(HWND h, UINT msg, WPARAM w, LPARAM l, LRESULT& result);
  void PaintHandler(TMessage& m);
  void HandleMouseMessage(TMessage& m);
  // WM_CONTEXTMENU: opens the PopupMenu of the windowless child under the
  // pointer or of this control; false when neither has one to open.
  bool ContextPopup(TMessage& m);
  void WindowDestroyed();
  // Sends CM_SHOWINGCHANGED to this control and its windowed descendants
  // whose Showing is no longer what they last heard.
  void UpdateShowing();
  void UpdateBoundsFromWindow();
  void AlignChildren();
  // Gives the window a font handle for Font (the platform classes draw with it).
  void ApplyFont();
  HFONT fontHandle_ = nullptr;

  HWND handle_ = nullptr;
  HWND parentWindow_ = nullptr;
  WNDPROC defWndProc_;
  WNDPROC instance_;  // the closure installed as the window's procedure
  std::vector<TControl*> controls_;
  TControlRef captureControl_;  // the windowless child a held button went down on
  TControlRef mouseControl_;    // the windowless child last under the pointer
  bool doubleBuffered_ = false;
  bool showing_ = false;  // the Showing the control last heard of
  bool realigning_ = false;
  bool eatChar_ = false;               // the key-down was a dialog key: drop its character
  std::vector<TWinControl*> tabList_;  // windowed children in tab order
};

// Shift state from the modifier keys held now, plus the mouse key bits of wParam.
TShiftState KeysToShiftState(WPARAM mouseKeys);
TShiftState KeyboardShiftState();

// The innermost windowed toolkit control shown at a screen point, or nullptr.
TWinControl* FindWindowControl(TPoint screen);

// The control the pointer is over now (windowless or windowed), or nullptr.
TControl* MouseControl();
// Moves the pointer's control: CM_MOUSELEAVE to the old one, CM_MOUSEENTER to the new.
void SetMouseControl(TControl* target);

}  // namespace vm
