// TnxEditWnd: a platform text field or list (an edit, a list box, a combo
// box's list) painted with a skin section ("EDIT", or "COMBOBOX" for a combo
// box's list). The control keeps its whole behaviour and paints its own text
// and selection; the subclass gives it the section's colours for that (the
// hot colours while it has the focus or the mouse), and the skinned frame and
// scroll bars through the scroll-bar painter. A disabled field shows the
// section's colour half way to what lies around it. A skin without the
// section leaves the window its plain look.
#pragma once

#include <memory>
#include <vector>

#include "skin/subclass/MainWnd.h"

namespace vm {

class TControl;
class TnxComboBoxWnd;
class TsScrollPainter;

class TnxEditWnd : public TnxMainWnd {
 public:
  TnxEditWnd(HWND window, bool repaint, const std::string& section, TsSkinManager* manager,
             TsCommonData* commonData);
  ~TnxEditWnd() override;

  void WndProc(TMessage& message) override;
  // Whether the skin paints the window now: a skin is active and has the section.
  bool Skinned() const;
  // 0 normal, 1 hot (focused or under the mouse; never while disabled).
  int StateIndex() const;
  // The colours the control paints its text and background with while skinned.
  TColor TextColour() const;
  TColor BackColour() const;
  // A combo box's list asks the combo box's parent for its colours: the
  // combo box that owns the list.
  void SetCombo(HWND combo) { combo_ = combo; }
  // The frame and scroll-bar painter, or nullptr.
  TsScrollPainter* ScrollPainter() const { return painter_.get(); }

 protected:
  void CleanUp() override;

 private:
  // The window the control asks for its colours.
  HWND ColourSource() const;
  // The skinned combo box this window is the edit of, or nullptr.
  const TnxComboBoxWnd* FieldOf() const;
  // The native paint (or print) with the skinned colours.
  void PaintThrough(TMessage& message);
  // The frame strips over the platform's frame, for a skin without scroll-bar sections.
  void PaintFrameStrips();
  // Frame and client repainted.
  void Redraw();
  void TrackHover(bool nonClient);

  std::unique_ptr<TsScrollPainter> painter_;
  // Painters let go of (skin removed, window given back), freed with this object.
  std::vector<std::unique_ptr<TsScrollPainter>> retired_;
  HWND combo_ = nullptr;
};

// The colour a plain window shows behind a child: the parent's answer to the
// colour query (command 21), else the owner control's parent's colour, else
// the dialog face colour.
TColor ColourAround(HWND window, TControl* owner = nullptr);

}  // namespace vm
