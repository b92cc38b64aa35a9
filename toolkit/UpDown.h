// TUpDown: a pair of arrow buttons over the platform's "msctls_updown32"
// class, usually attached to an edit field (Associate).
//
// The arrows step Position by Increment within Min to Max (past an end only
// with Wrap, which goes on at the other end). The associated control shows
// the position as its text (with digit groups unless Thousands is off) and
// whatever number is typed there is where the next step starts; reading
// Position reads it back. AlignButton puts the arrows on the associate's
// right or left edge and narrows the associate by their width. ArrowKeys
// lets the Up and Down keys in the associate step too. Every step first asks
// OnChanging (AllowChange false refuses it), then, once the position has
// changed, raises OnClick with the arrow: btNext toward Max, btPrev toward Min.
#pragma once

#include <functional>

#include "toolkit/WinControl.h"

namespace vm {

enum TUDAlignButton { udLeft, udRight };
enum TUDOrientation { udHorizontal, udVertical };
enum TUDBtnType { btNext, btPrev };

using TUDClickEvent = std::function<void(TComponent* Sender, TUDBtnType Button)>;
using TUDChangingEvent = std::function<void(TComponent* Sender, bool& AllowChange)>;

class TUpDown : public TWinControl {
 public:
  explicit TUpDown(TComponent* owner);
  ~TUpDown() override;
  std::string ClassName() const override { return "TUpDown"; }

  TWinControl* Associate() const { return associate_; }
  void SetAssociate(TWinControl* v);
  int Min() const { return min_; }
  void SetMin(int v);
  int Max() const { return max_; }
  void SetMax(int v);
  // The position as the window has it (the number in the associate, when it holds one).
  int Position() const;
  void SetPosition(int v);
  int Increment() const { return increment_; }
  void SetIncrement(int v);
  bool Wrap() const { return wrap_; }
  void SetWrap(bool v);
  bool ArrowKeys() const { return arrowKeys_; }
  void SetArrowKeys(bool v);
  bool Thousands() const { return thousands_; }
  void SetThousands(bool v);
  TUDAlignButton AlignButton() const { return alignButton_; }
  void SetAlignButton(TUDAlignButton v);
  TUDOrientation Orientation() const { return orientation_; }
  // Turning the arrows also turns the bounds (width and height exchanged).
  void SetOrientation(TUDOrientation v);

  // Hides TControl::OnClick: an up-down's click says which arrow it was.
  TUDClickEvent OnClick;
  TUDChangingEvent OnChanging;

  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void Notification(TComponent* component, TOperation operation) override;
  // The control's plain Click stays reachable beside the arrow's.
  using TWinControl::Click;
  virtual void Click(TUDBtnType button);
  virtual bool CanChange();

 private:
  void SendRange();

  TWinControl* associate_ = nullptr;
  int min_ = 0, max_ = 100;
  mutable int position_ = 0;
  int increment_ = 1;
  bool wrap_ = false;
  bool arrowKeys_ = true;
  bool thousands_ = true;
  TUDAlignButton alignButton_ = udRight;
  TUDOrientation orientation_ = udVertical;
  int lastDelta_ = 0;  // the change of the step being made (UDN_DELTAPOS)
};

}  // namespace vm
