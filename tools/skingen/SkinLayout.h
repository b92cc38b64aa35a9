// Where every picture of the built-in skin lives in its master bitmap, and which
// description keys point at it. This table is the single source of truth for both
// the painted bitmap and the mask strings written into Options.dat.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/gfx/Types.h"

namespace vm {

constexpr int MasterWidth = 276;
constexpr int MasterHeight = 102;

// One picture: Count state cells side by side, each CellW x CellH, with MaskType
// further rows of the same height below (a transparency mask when MaskType is 1).
struct TSkinImageDef {
  std::string Name;
  int CellW = 0;
  int CellH = 0;
  int Count = 1;
  int MaskType = 0;
  int FixedX = -1;  // a position the description must keep; -1: placed by the packer
  int FixedY = -1;

  int Width() const { return CellW * Count; }
  int Height() const { return CellH * (MaskType + 1); }
};

// One mask key of the description.
struct TSkinMaskDef {
  std::string Section;
  std::string Key;
  std::string Image;  // name of a TSkinImageDef
  char Form = '^';    // '^' nine-part border, '@' glyph
  int WL = 0, WT = 0, WR = 0, WB = 0;
  int StretchMode = 1;
  int BorderWidth = 1;
  // A key may address only part of an image (the status bar's top edge is the
  // caption's bottom edge); then Part is that rectangle in master coordinates
  // and the key is a single-state, mask-less element.
  TRect Part{};
};

class TSkinLayout {
 public:
  // Builds the table and places every image that has no fixed position.
  TSkinLayout();

  const std::vector<TSkinImageDef>& Images() const { return Images_; }
  const std::vector<TSkinMaskDef>& Masks() const { return Masks_; }
  const TSkinImageDef& Image(const std::string& name) const;
  TRect ImageRect(const std::string& name) const;
  // The rectangle a mask key names in the master bitmap.
  TRect MaskRect(const TSkinMaskDef& mask) const;
  // The value written for a mask key, e.g. "^0066^0071^0129^0092^0010^0010^0010^0010^3^0^5^0".
  std::string MaskString(const TSkinMaskDef& mask) const;
  // Mask keys of one section, in table order.
  std::vector<const TSkinMaskDef*> SectionMasks(const std::string& section) const;

 private:
  void Place();

  std::vector<TSkinImageDef> Images_;
  std::vector<TSkinMaskDef> Masks_;
  std::map<std::string, TRect> Rects_;
};

}  // namespace vm
