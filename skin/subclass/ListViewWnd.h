// TnxListViewWnd: a platform list view painted with a skin section ("EDIT"):
// the skinned frame and scroll bars through the scroll-bar painter (hot while
// the list has the focus or the mouse), the items on the section's colour,
// and its column header as a row of "COLHEADER" items (TnxHeaderWnd) with
// hot and pressed looks. The list keeps its whole behaviour; the background
// colour its program sets is kept and answered back while the skin shows its
// own, and put back when the subclass lets go.
#pragma once

#include <memory>

#include "skin/subclass/EditWnd.h"
#include "skin/subclass/MainWnd.h"

namespace vm {

// The column header of a list view: each column a "COLHEADER" item with its
// caption in the section's font colours, pressed while the platform holds it
// down, hot under the mouse; past the last column one empty item.
class TnxHeaderWnd : public TnxMainWnd {
 public:
  using TnxMainWnd::TnxMainWnd;
  ~TnxHeaderWnd() override;

  void WndProc(TMessage& message) override;
  bool Skinned() const;
  // The column under the mouse, and the column held down (-1 when none).
  int HotColumn() const { return hot_; }
  int PressedColumn() const { return pressedShown_ ? pressed_ : -1; }

 protected:
  void PrepareCache() override;
  void CleanUp() override;

 private:
  void Paint(HDC given);
  int ColumnAt(int x) const;
  bool OnDivider(int x) const;
  void SetHot(int column);
  void Redraw();

  int hot_ = -1;
  int pressed_ = -1;
  bool pressedShown_ = false;
};

// The frame, the bars, the focus and the mouse are the text field's
// (TnxEditWnd); the list view adds its background colour and its header.
class TnxListViewWnd : public TnxEditWnd {
 public:
  TnxListViewWnd(HWND window, bool repaint, const std::string& section, TsSkinManager* manager,
                 TsCommonData* commonData);
  ~TnxListViewWnd() override;

  void WndProc(TMessage& message) override;
  TnxHeaderWnd* HeaderWnd() const { return header_.get(); }

 protected:
  void CleanUp() override;

 private:
  // The list's background in the section's colour while skinned, its own otherwise.
  void SyncColour();
  void RestoreColour();

  std::unique_ptr<TnxHeaderWnd> header_;
  // The colour the list's program gave it, while the skin's is shown.
  bool colourSet_ = false;
  TColor ownColour_ = 0;
  TColor skinColour_ = 0;
};

}  // namespace vm
