// TnxDialogWnd: the skinned frame of a platform dialog ("#32770": message
// boxes, the open and save picture dialogs), painted from a skin section
// ("DIALOG") by the same frame painter a form's TsSkinProvider uses: border
// and corners, the caption with the dialog's text and icon, the caption
// buttons its style asks for (close always; minimise, maximise and help when
// the dialog has them) with hover, press and fade, the window region, and the
// client background behind the dialog's children.
//
// The dialog keeps its own procedure for everything else. The platform's
// system-menu style is taken off while the frame is skinned, so that the
// platform neither draws nor hit-tests its own caption buttons; a click on
// the skinned close button sends the dialog WM_SYSCOMMAND / SC_CLOSE exactly
// as the platform's button does. Skin command 1 (a new skin) rebuilds and
// repaints the frame, and a skin without the section leaves the dialog its
// plain look, as does command 2 (skin removed) and freeing the object.
//
// The children of the dialog read what lies behind them from this object:
// command 5 answers the frame cache with the client offsets, command 61 the
// client offset.
#pragma once

#include "skin/frame/FramePainter.h"
#include "skin/subclass/MainWnd.h"

namespace vm {

class TnxDialogWnd : public TnxMainWnd {
 public:
  TnxDialogWnd(HWND window, bool repaint, const std::string& section, TsSkinManager* manager,
               TsCommonData* commonData);
  ~TnxDialogWnd() override;

  void WndProc(TMessage& message) override;

  // Whether the frame is painted from the skin now (skin active, section found).
  bool Skinned() const;
  // The frame painter (its cache, buttons and region), for tests and tools.
  const TsFramePainter& Painter() const { return painter_; }
  TsFramePainter& Painter() { return painter_; }
  // The caption's hit test at p (window coordinates), as WM_NCHITTEST asks it.
  int CaptionHitTest(TPoint p);
  // Whether the platform's system-menu style is off while the frame is skinned.
  bool SystemMenuRemoved() const { return systemMenuRemoved_; }
  bool Active() const { return active_; }

 protected:
  void CleanUp() override;

 private:
  TsFrameWindow FrameWindow();
  TFormBorderStyle BorderStyle() const;
  // Looks the skin up again and repaints the whole dialog (a new skin; at
  // creation); a skin without the section gives the plain look back.
  void Rebuild();
  // Gives the plain look back: style, region, copies; repaints.
  void ShowPlain();
  void PaintFrame();
  void PaintNonClient();
  void RepaintFrame();
  bool CacheFits(const TsFrameMetrics& fm) const;
  bool HandleSkinCommand(TMessage& m);
  bool HandleNcMouse(TMessage& m);
  bool HandleSysCommand(TMessage& m);
  void ButtonClicked(int code);
  void OpenSystemMenu(TPoint screen);
  void RemoveSystemMenuStyle();
  void RestoreSystemMenuStyle();

  TsFramePainter painter_;
  bool active_ = false;
  bool systemMenuRemoved_ = false;
  bool destroying_ = false;
  // The frame is set up for the skin (masks, style, region to come).
  bool prepared_ = false;
  // Shared with anything that must know the object is still there after a
  // call that may free it (a click's command, a nested loop).
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace vm
