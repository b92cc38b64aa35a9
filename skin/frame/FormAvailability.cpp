#include "skin/frame/FormAvailability.h"

#include "platform/win/WinApi.h"

namespace vm {

TsFormWindowState FormWindowState(const TCustomForm& form) {
  if (!form.HandleAllocated()) return fwsNormal;
  HWND h = const_cast<TCustomForm&>(form).Handle();
  if (IsIconic(h)) return fwsMinimized;
  if (IsZoomed(h)) return fwsMaximized;
  return fwsNormal;
}

TsFormAvailability FormAvailability(const TCustomForm& form, bool systemMenuPresent) {
  return FormAvailability(form.BorderStyle(), form.BorderIcons(), FormWindowState(form),
                          form.FormStyle() == fsMDIChild, systemMenuPresent);
}

TsFormAvailability FormAvailability(TFormBorderStyle style, TBorderIcons icons,
                                    TsFormWindowState state, bool mdiChild,
                                    bool systemMenuPresent) {
  const bool minimized = state == fwsMinimized;
  const bool maximized = state == fwsMaximized;
  const bool fullCaption = style == bsSingle || style == bsSizeable;
  // Dialogs, tool windows and borderless forms have no minimise and maximise.
  const bool plainKind =
      style != bsDialog && style != bsNone && style != bsToolWindow && style != bsSizeToolWin;
  const bool hasMax = (icons & biMaximize) != 0;
  const bool hasMin = (icons & biMinimize) != 0;

  TsFormAvailability a;
  a.MaximizeEnabled = (mdiChild || (!maximized && fullCaption)) && hasMax;
  a.MinimizeEnabled = hasMin && !minimized;
  a.MoveEnabled = !maximized;
  a.RestoreEnabled = (hasMax && state != fwsNormal) || minimized;
  a.SizeEnabled = style != bsSingle && !minimized;
  a.MaximizeShown = systemMenuPresent && (minimized || mdiChild || (plainKind && hasMax));
  a.MinimizeShown = systemMenuPresent && (minimized || mdiChild || (plainKind && hasMin));
  a.RestoreItemShown = mdiChild || (systemMenuPresent && plainKind);
  a.SizeItemShown = mdiChild || (style != bsNone && style != bsDialog && style != bsToolWindow);
  a.HelpShown = (icons & biHelp) != 0;
  a.CloseShown = systemMenuPresent;
  return a;
}

}  // namespace vm
