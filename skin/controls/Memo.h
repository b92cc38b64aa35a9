// TsMemo: the skinned multi-line text field. The platform's edit keeps the
// editing and the scrolling; while a skin is active the colours come from
// the section ("EDIT" by default, the hot colours while focused or under the
// mouse) and a scroll painter of the subclassing layer paints the frame and
// the window's own scroll bars from the skin, with their hot and pressed
// parts. OnScrollCaret follows the caret being scrolled into view,
// OnVScroll every vertical scroll.
#pragma once

#include <memory>
#include <string>

#include "skin/paint/pixels/PixelOps.h"
#include "toolkit/Memo.h"

namespace vm {

class TsCommonData;
class TsBoundLabel;
class TsScrollPainter;

class TsMemo : public TMemo {
 public:
  explicit TsMemo(TComponent* owner);
  ~TsMemo() override;
  std::string ClassName() const override { return "TsMemo"; }

  TsCommonData* SkinData() const { return skinData_.get(); }
  TsBoundLabel* BoundLabel() const { return boundLabel_.get(); }
  TsDisabledKind DisabledKind() const { return disabledKind_; }
  void SetDisabledKind(TsDisabledKind value);
  // The painter of the frame and scroll bars, while one is attached.
  TsScrollPainter* ScrollPainter() const { return painter_.get(); }

  TNotifyEvent OnScrollCaret;
  TNotifyEvent OnVScroll;

  void WndProc(TMessage& message) override;
  void Loaded() override;

 protected:
  void CreateWnd() override;
  void DestroyWnd() override;

 private:
  bool Skinned() const;
  void ApplySectionColours();
  void AttachPainter();
  void RepaintFrame();

  std::unique_ptr<TsCommonData> skinData_;
  std::unique_ptr<TsBoundLabel> boundLabel_;
  std::unique_ptr<TsScrollPainter> painter_;
  TsDisabledKind disabledKind_ = dkBlended;
};

}  // namespace vm
