// TsStatusBar: the skinned status bar. The platform's bar keeps the panels,
// the simple text and the size grip; while skinned, its face, panel frames
// or dividers, texts and grip are painted from the skin into the cache of its
// skin state (section "STATUSBAR" by default), and the child controls placed
// on it (a label, say) are painted over that picture. Without a skin it is
// the toolkit's plain status bar.
#pragma once

#include <memory>
#include <string>

#include "skin/state/CommonData.h"
#include "toolkit/StatusBar.h"

namespace vm {

class TsStatusBar : public TStatusBar {
 public:
  explicit TsStatusBar(TComponent* owner);
  ~TsStatusBar() override;
  std::string ClassName() const override { return "TsStatusBar"; }

  TsCommonData* SkinData() const { return skinData_.get(); }
  bool Skinned() const;

  // The rectangle of panel i as the skin paints it (before its 1-pixel inset);
  // the simple panel for SimplePanel.
  TRect PanelRect(int index) const;

  void Loaded() override;
  void WndProc(TMessage& message) override;

 private:
  void SkinCommand(TMessage& m);
  bool SkinnedMessage(TMessage& m);
  void PrepareCache();
  void PaintPanel(TBitmap& cache, int index, const TRect& r, bool simple, int panelMask);
  void PaintGrip(TBitmap& cache);
  void CopyCache(HDC dc);
  void PaintBorder();
  bool OutsideParent() const;
  bool GripWorks() const;

  std::unique_ptr<TsCommonData> skinData_;
};

}  // namespace vm
