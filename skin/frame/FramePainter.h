// TsFramePainter: the skinned frame of one window, painted from a skin
// section into a frame cache: border and corners, the client background, the
// caption strip (title section, icon, title bar, buttons, text), the menu line
// and the window region that cuts the skin's transparent corners away.
//
// The painter knows nothing of forms. Its owner (a form's TsSkinProvider, a
// platform dialog's frame subclass) describes the window as it is now in a
// TsFrameWindow: the handle, the measures of its frame, what its caption
// offers, whether it is active and how its caption reads. The painter keeps
// the copies that spare repainting (the caption strip, the strip behind the
// buttons, the menu line) and the caption buttons (CaptionButtons.h).
//
// The frame cache is the bitmap of the owner's TsCommonData; its section is
// the frame's section ("FORM" for forms, "DIALOG" for platform dialogs).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DC.h"
#include "platform/gfx/Font.h"
#include "skin/frame/CaptionButtons.h"
#include "skin/frame/FormAvailability.h"
#include "skin/frame/FrameMetrics.h"
#include "toolkit/Control.h"

namespace vm {

class TsCommonData;
class TsSkinManager;

enum TsGripMode { gmNone, gmRightBottom };

// A window as its frame is painted: what the owner knows of it right now.
struct TsFrameWindow {
  HWND Handle = nullptr;
  TsFrameMetrics Metrics;
  // What the caption's buttons offer (FormAvailability rules).
  TsFormAvailability Availability;
  // The frame took the platform's system-menu style away to draw the
  // buttons itself (without it no system button is drawn).
  bool SystemMenuPresent = false;
  bool Active = true;
  // The caption text and the font it is written in (made bold; the height
  // comes from the platform's caption font).
  std::string Caption;
  TFontDesc Font;
  TAlignment CaptionAlignment = taLeftJustify;
  TsGripMode Grip = gmNone;
  // A borderless window's background colour, when it has its own colour.
  bool CustomColor = false;
  TColor Color = 0;
  // Draws the caption icon at Metrics.IconRect (nothing when not set).
  std::function<void(TBitmap& cache, const TsFrameMetrics& fm)> PaintIcon;
  // The menu line: shown when the window has a menu bar with visible items,
  // its rows (the line is MenuLineHeight per row, plus one), and the drawing
  // of the bar's items over the painted line (false: not drawn there, the
  // painter writes the platform's items itself).
  bool MenuShown = false;
  std::function<int()> MenuRows;
  std::function<bool(TBitmap& cache)> DrawMenuItems;
};

class TsFramePainter {
 public:
  // data: the frame's skin state (section, manager, frame cache). window:
  // describes the window now; asked whenever the painter needs it.
  TsFramePainter(TsCommonData& data, std::function<TsFrameWindow()> window);
  ~TsFramePainter();
  TsFramePainter(const TsFramePainter&) = delete;
  TsFramePainter& operator=(const TsFramePainter&) = delete;

  TsCommonData& Data() const { return data_; }
  TsSkinManager* Manager() const;
  TsFrameWindow Window() const { return window_(); }

  // The caption strip's section (empty: "FORMTITLE") and the menu line's
  // (empty or missing in the skin: "MENULINE").
  std::string TitleSkin;
  std::string MenuLineSkin;
  int TitleIndex() const;
  int MenuLineIndex() const;

  // The caption's system and user buttons.
  TsCaptionButtons Buttons;

  // Paints the whole frame into the cache for the window as it is now. The
  // cache takes the window's outer size (empty for an empty window).
  void Paint(const TsFrameWindow& w);
  // Copies the painted frame's non-client pieces (the area above the client
  // and the strips around it) to a device context of the whole window.
  void CopyPieces(TDC& dc, const TsFrameMetrics& fm) const;
  // Copies the client part of the cache (client coordinates) to dc.
  void CopyClient(TDC& dc, const TsFrameMetrics& fm, const TRect& dest) const;
  // Lays the menu line from its copy again (its items are then drawn anew);
  // false when there is no copy to lay.
  bool RestoreMenuLine(const TsFrameMetrics& fm);

  // The caption strip's copy spares repainting it while only the frame below
  // changed. Anything the strip shows that the painter cannot see (the
  // window's text, icon or colour, the skin) drops it: this is the one place
  // it is dropped.
  void DropCaptionCopy();
  bool CaptionCopyValid() const { return !captionCopy_.Empty(); }
  // Forgets everything painted: the copies, the cache's pixels, the region's
  // rectangles; the next painting is a first one.
  void Reset();

  // The caption's hit test at p (window coordinates): -1 at the edge of a
  // maximised window, a button's or the icon's code, the size corner (17)
  // with a grip, else 0. The element found becomes the hover element.
  int HitTest(TPoint p);

  // ---- region ----
  // The transparent corner runs cut out of the window, window coordinates.
  const std::vector<TRect>& RegionRects() const { return regionRects_; }
  bool RegionSet() const { return regionSet_; }
  // Set when the window's size or the skin changed: the region is built anew
  // at the next non-client painting.
  bool RegionChanged = true;
  // Builds the region of the window from the skin and sets it.
  void UpdateRegion(const TsFrameWindow& w);
  // Takes the region off the window (a removed skin, a restored borderless window).
  void RemoveRegion(HWND window);

 private:
  struct TCaptionKey {
    int Width = 0, Height = 0, BorderHeight = 0, CaptionHeight = 0, State = 0, ButtonsWidth = 0;
    int Title = -1, Section = -1;
    bool IconShown = false;
    TSize IconSize{};
    TRect IconRect{};
    bool SystemMenu = false;
    bool operator==(const TCaptionKey&) const = default;
  };
  TCaptionKey CaptionKeyOf(const TsFrameWindow& w, int state) const;
  bool CaptionCopyKept() const;
  bool CaptionCopyUsable(const TCaptionKey& key) const;
  void TakeCaptionCopy(const TBitmap& cache, const TRect& strip, const TCaptionKey& key);
  void PaintCaptionStrip(TBitmap& cache, const TsFrameWindow& w, const TRect& strip, int state);
  void PaintCaptionText(TBitmap& cache, const TsFrameWindow& w, int state);
  void PaintMenuLine(TBitmap& cache, const TsFrameWindow& w, int state);

  TsCommonData& data_;
  std::function<TsFrameWindow()> window_;
  bool firstPaint_ = true;
  TBitmap captionCopy_;  // the caption strip without buttons and text
  TCaptionKey captionKey_;
  TBitmap menuLineCopy_;
  std::vector<TRect> regionRects_;
  bool regionSet_ = false;
};

}  // namespace vm
