// TnxComboBoxWnd: a platform combo box painted with a skin section
// ("COMBOBOX"). The field is the section's item (hot while focused or under
// the mouse), the drop-down button the "COMBOBTN" section's item with the
// section's arrow glyph (hot with the mouse over it, pressed while the list
// is down), and a selection field shows the chosen item's text in the
// section's font colour. Its inner edit and its list are skinned as text
// fields (TnxEditWnd) with the same section. All behaviour stays the
// combo box's: the subclass reads its state through its messages.
#pragma once

#include <memory>

#include "skin/subclass/MainWnd.h"

namespace vm {

class TnxEditWnd;

class TnxComboBoxWnd : public TnxMainWnd {
 public:
  TnxComboBoxWnd(HWND window, bool repaint, const std::string& section, TsSkinManager* manager,
                 TsCommonData* commonData);
  ~TnxComboBoxWnd() override;

  void WndProc(TMessage& message) override;
  bool Skinned() const;
  // The field's state: 0 normal, 1 hot (focused, under the mouse or dropped).
  int StateIndex() const;
  // The button's state: 0 normal, 1 under the mouse, 2 the list is down.
  int ButtonState() const;
  // The subclasses of the inner edit and of the list (nullptr when none, or
  // when another subclass already had them).
  TnxEditWnd* EditWnd() const { return edit_.get(); }
  TnxEditWnd* ListWnd() const { return list_.get(); }
  // The field's and the drop-down button's rectangles (client coordinates).
  TRect FieldRect() const;
  TRect ButtonRect() const;

 protected:
  void CleanUp() override;
  void PrepareCache() override;

 private:
  void Paint(HDC given);
  void DrawText(TBitmap& cache, const TRect& field, int state);
  // The inner edit and the list get their subclasses once they exist.
  void AttachParts();
  void Redraw();
  bool Focused() const;
  bool Dropped() const;

  std::unique_ptr<TnxEditWnd> edit_;
  std::unique_ptr<TnxEditWnd> list_;
  bool overButton_ = false;
};

}  // namespace vm
