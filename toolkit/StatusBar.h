// TStatusBar: the strip along the bottom of a form, over the platform's
// "msctls_statusbar32" class.
//
// Panels divide it from left to right, each Width pixels wide but the last,
// which reaches the right edge; a panel shows Text with its Alignment in a
// Bevel, or, with Style psOwnerDraw, whatever OnDrawPanel paints on Canvas.
// SimplePanel replaces the panels by one line, SimpleText. SizeGrip shows the
// grip in the bottom-right corner while the form can be resized and is not
// maximized. BorderWidth puts a frame in Color around it. The bar accepts
// child controls: a label placed on it paints over the bar. Align starts as
// alBottom.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Canvas.h"
#include "toolkit/WinControl.h"

namespace vm {

class TStatusBar;
class TStatusPanels;

enum TStatusPanelStyle { psText, psOwnerDraw };
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusPanel {
 public:
  explicit TStatusPanel(TStatusPanels* owner) : owner_(owner) {}

  const std::string& Text() const { return text_; }
  void SetText(const std::string& v);
  int Width() const { return width_; }
  // Negative widths become 0.
  void SetWidth(int v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  TStatusPanelStyle Style() const { return style_; }
  void SetStyle(TStatusPanelStyle v);
  TStatusPanelBevel Bevel() const { return bevel_; }
  void SetBevel(TStatusPanelBevel v);
  // The position in Panels.
  int Index() const;

 private:
  void Changed(bool geometry);

  TStatusPanels* owner_;
  std::string text_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
  TStatusPanelStyle style_ = psText;
  TStatusPanelBevel bevel_ = pbLowered;
};

// The bar's panels. Items raises std::out_of_range for a wrong index.
class TStatusPanels {
 public:
  explicit TStatusPanels(TStatusBar* bar) : bar_(bar) {}
  TStatusPanels(const TStatusPanels&) = delete;
  TStatusPanels& operator=(const TStatusPanels&) = delete;

  int Count() const { return int(items_.size()); }
  TStatusPanel* Items(int index) const;
  TStatusPanel* operator[](int index) const { return Items(index); }
  // A new panel at the end (or before index) with the default properties.
  TStatusPanel* Add();
  TStatusPanel* Insert(int index);
  void Delete(int index);
  void Clear();
  int IndexOf(const TStatusPanel* panel) const;
  // Changes between these reach the window once, at EndUpdate.
  void BeginUpdate() { ++updating_; }
  void EndUpdate();
  TStatusBar* StatusBar() const { return bar_; }

 private:
  friend class TStatusPanel;
  void Changed(bool geometry);

  TStatusBar* bar_;
  std::vector<std::unique_ptr<TStatusPanel>> items_;
  int updating_ = 0;
  bool pending_ = false;
  bool pendingGeometry_ = false;
};

using TDrawPanelEvent =
    std::function<void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

class TStatusBar : public TWinControl {
 public:
  explicit TStatusBar(TComponent* owner);
  ~TStatusBar() override;
  std::string ClassName() const override { return "TStatusBar"; }

  TStatusPanels* Panels() const { return panels_.get(); }
  bool SimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool v);
  const std::string& SimpleText() const { return simpleText_; }
  void SetSimpleText(const std::string& v);
  bool SizeGrip() const { return sizeGrip_; }
  void SetSizeGrip(bool v);
  // A frame of this many pixels in Color around the bar, outside its client
  // area (the panels and the children sit inside it). Negative becomes 0.
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int v);

  // The canvas OnDrawPanel paints on (the bar's paint context while it runs).
  tk::TCanvas* Canvas() const { return canvas_.get(); }
  TDrawPanelEvent OnDrawPanel;

  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void ColorChanged() override;
  // Paints an owner-drawn panel: OnDrawPanel when set.
  virtual void DrawPanel(TStatusPanel* panel, const TRect& rect);

 private:
  friend class TStatusPanels;
  // Sends the panels to the window: their edges (geometry) and their texts.
  void UpdatePanels(bool geometry);
  void UpdateSimple();

  std::unique_ptr<TStatusPanels> panels_;
  std::unique_ptr<tk::TCanvas> canvas_ = std::make_unique<tk::TCanvas>();
  bool simplePanel_ = false;
  std::string simpleText_;
  bool sizeGrip_ = true;
  int borderWidth_ = 0;
};

}  // namespace vm
