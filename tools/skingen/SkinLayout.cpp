#include "tools/skingen/SkinLayout.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace vm {

namespace {

// Images the description addresses at fixed places come first; the packer fits the
// rest around them.
std::vector<TSkinImageDef> ImageTable() {
  return {
      // name, cell width, cell height, cells, mask rows, fixed x, fixed y
      {"title", 12, 11, 1, 1, 0, 0},
      {"form", 12, 13, 1, 0, 12, 0},
      {"edit", 3, 3, 1, 0, 21, 13},
      {"channel", 3, 3, 1, 0, 21, 19},
      {"menu", 4, 6, 1, 0, 29, 4},
      {"tickv", 2, 3, 1, 0, 96, 25},
      {"tickh", 2, 2, 1, 0, 144, 60},
      {"thumbv", 21, 11, 2, 0, 176, 57},
      {"menuitem", 6, 6, 3, 1, 222, 13},
      {"button", 21, 21, 3, 0, 66, 71},
      {"thumbh", 11, 21, 2, 0, 129, 68},
      // Caption buttons of sizeable and single-border windows, then of dialogs.
      {"bclose", 22, 22, 3, 0},
      {"bmax", 22, 22, 3, 0},
      {"bnorm", 22, 22, 3, 0},
      {"bmin", 22, 22, 3, 0},
      {"bhelp", 22, 22, 3, 0},
      {"sclose", 14, 14, 3, 0},
      {"smax", 14, 14, 3, 0},
      {"snorm", 14, 14, 3, 0},
      {"smin", 14, 14, 3, 0},
      {"shelp", 14, 14, 3, 0},
      {"titlebtn", 14, 14, 3, 0},
      // Check marks and radio dots.
      {"boxchecked", 13, 13, 3, 0},
      {"boxunchecked", 13, 13, 3, 0},
      {"boxgrayed", 13, 13, 3, 0},
      {"radiochecked", 13, 13, 3, 0},
      {"radiounchecked", 13, 13, 3, 0},
      {"smallchecked", 9, 9, 3, 0},
      {"smallunchecked", 9, 9, 3, 0},
      {"smallgrayed", 9, 9, 3, 0},
      {"check", 9, 9, 3, 0},
      {"grip", 10, 10, 1, 0},
      // Arrows of scroll buttons and combo boxes.
      {"arrowleft", 7, 7, 3, 0},
      {"arrowright", 7, 7, 3, 0},
      {"arrowup", 7, 7, 3, 0},
      {"arrowdown", 7, 7, 3, 0},
      {"comboarrow", 7, 7, 3, 0},
      // Nine-part borders.
      {"scrollbtn", 9, 9, 3, 0},
      {"sliderh", 9, 9, 3, 0},
      {"sliderv", 9, 9, 3, 0},
      {"trackh", 6, 9, 2, 0},
      {"trackv", 9, 6, 2, 0},
      {"divider", 3, 6, 1, 0},
      {"panel", 6, 6, 1, 0},
      {"panellow", 6, 6, 1, 0},
      {"splitter", 6, 6, 1, 0},
      {"gauge", 9, 9, 1, 0},
      {"progressh", 9, 9, 1, 0},
      {"progressv", 9, 9, 1, 0},
      {"page", 9, 9, 1, 0},
      {"tabtop", 7, 7, 3, 0},
      {"tabbottom", 7, 7, 3, 0},
      {"tableft", 7, 7, 3, 0},
      {"tabright", 7, 7, 3, 0},
      {"hint", 9, 9, 1, 0},
      {"groupbox", 9, 9, 1, 0},
      {"comboframe", 9, 9, 3, 0},
      {"combobtn", 9, 11, 3, 0},
      {"bartitle", 10, 10, 1, 0},
      {"smallbtn", 9, 9, 3, 0},
      {"toolbtn", 9, 9, 3, 0},
      {"colheader", 7, 9, 3, 0},
      {"griph", 8, 8, 1, 0},
      {"toolbar", 9, 9, 1, 0},
  };
}

TSkinMaskDef Border(std::string section, std::string image, int wl, int wt, int wr, int wb,
                    int stretch, int borderWidth) {
  return {std::move(section), "BORDERSMASK", std::move(image), '^', wl, wt, wr, wb, stretch,
          borderWidth};
}

TSkinMaskDef Glyph(std::string section, std::string key, std::string image) {
  return {std::move(section), std::move(key), std::move(image), '@'};
}

std::vector<TSkinMaskDef> MaskTable() {
  std::vector<TSkinMaskDef> t;
  const char* glyphs[][2] = {
      {"BOXCHECKED", "boxchecked"},
      {"BOXUNCHECKED", "boxunchecked"},
      {"BOXGRAYED", "boxgrayed"},
      {"RADIOCHECKED", "radiochecked"},
      {"RADIOUNCHECKED", "radiounchecked"},
      {"SMALLCHECKED", "smallchecked"},
      {"SMALLUNCHECKED", "smallunchecked"},
      {"SMALLGRAYED", "smallgrayed"},
      {"CHECK", "check"},
      {"GRIPIMAGE", "grip"},
      {"TITLEBUTTON", "titlebtn"},
      {"BICONCLOSE", "bclose"},
      {"BICONMAX", "bmax"},
      {"BICONNORM", "bnorm"},
      {"BICONMIN", "bmin"},
      {"BICONHELP", "bhelp"},
      {"SICONCLOSE", "sclose"},
      {"SICONMAX", "smax"},
      {"SICONNORM", "snorm"},
      {"SICONMIN", "smin"},
      {"SICONHELP", "shelp"},
  };
  for (auto& g : glyphs) t.push_back(Glyph("GLOBALINFO", g[0], g[1]));

  t.push_back(Border("DIVIDER", "divider", 1, 1, 1, 1, 1, 1));
  t.push_back(Border("EDIT", "edit", 1, 1, 1, 1, 1, 1));
  t.push_back(Border("BARPANEL", "panel", 2, 2, 2, 2, 1, 1));
  const char* scrollButtons[][2] = {{"SCROLLBTNLEFT", "arrowleft"},
                                    {"SCROLLBTNRIGHT", "arrowright"},
                                    {"SCROLLBTNTOP", "arrowup"},
                                    {"SCROLLBTNBOTTOM", "arrowdown"}};
  for (auto& b : scrollButtons) {
    t.push_back(Border(b[0], "scrollbtn", 4, 4, 4, 4, 5, 1));
    t.push_back(Glyph(b[0], "GLYPHMASK", b[1]));
  }
  t.push_back(Border("SCROLLSLIDERH", "sliderh", 4, 4, 4, 4, 5, 1));
  t.push_back(Border("SCROLLSLIDERV", "sliderv", 4, 4, 4, 4, 5, 1));
  t.push_back(Border("GAUGE", "gauge", 3, 3, 3, 3, 5, 1));
  t.push_back(Border("TABCONTROL", "page", 3, 3, 3, 3, 1, 1));
  t.push_back(Border("HINT", "hint", 3, 3, 3, 3, 5, 1));
  t.push_back(Border("FORMTITLE", "title", 5, 7, 6, 2, 1, 1));
  t.push_back(Border("MAINMENU", "menu", 1, 1, 1, 1, 1, 1));
  t.push_back(Border("PANEL", "panel", 2, 2, 2, 2, 1, 1));
  t.push_back(Border("GROUPBOX", "groupbox", 3, 3, 3, 3, 1, 1));
  t.push_back(Border("COMBOBOX", "comboframe", 3, 3, 3, 3, 1, 1));
  t.push_back(Glyph("COMBOBOX", "GLYPHMASK", "comboarrow"));
  t.push_back(Border("PANEL_LOW", "panellow", 2, 2, 2, 2, 1, 1));
  {
    // The status bar's top edge is the caption strip's bottom edge.
    TSkinMaskDef m = Border("STATUSBAR", "title", 0, 2, 0, 0, 1, 1);
    m.Part = {1, 9, 11, 14};
    t.push_back(m);
  }
  t.push_back(Border("COMBOBTN", "combobtn", 4, 5, 4, 5, 5, 1));
  t.push_back(Border("DIALOG", "form", 5, 5, 6, 6, 1, 1));
  t.push_back(Border("MENUITEM", "menuitem", 2, 2, 2, 2, 3, 1));
  t.push_back(Border("SCROLLBAR1V", "trackv", 1, 1, 1, 1, 5, 1));
  t.push_back(Border("SCROLLBAR2V", "trackv", 1, 1, 1, 1, 5, 1));
  t.push_back(Border("SCROLLBAR1H", "trackh", 1, 1, 1, 1, 5, 1));
  t.push_back(Border("SCROLLBAR2H", "trackh", 1, 1, 1, 1, 5, 1));
  t.push_back(Border("SPLITTER", "splitter", 2, 2, 2, 2, 5, 1));
  t.push_back(Border("PROGRESSH", "progressh", 3, 3, 3, 3, 5, 1));
  t.push_back(Border("PROGRESSV", "progressv", 3, 3, 3, 3, 5, 1));
  t.push_back(Border("NIRVEXCOMBOBOX", "comboframe", 3, 3, 3, 3, 1, 1));
  t.push_back(Glyph("NIRVEXCOMBOBOX", "GLYPHMASK", "comboarrow"));
  t.push_back(Border("NIRVEXEDIT", "edit", 1, 1, 1, 1, 1, 1));
  t.push_back(Border("PAGECONTROL", "page", 3, 3, 3, 3, 1, 1));
  t.push_back(Border("BARTITLE", "bartitle", 4, 4, 4, 4, 5, 1));
  t.push_back(Border("BUTTON", "button", 10, 10, 10, 10, 5, 0));
  t.push_back(Border("BUTTON_BIG", "button", 10, 10, 10, 10, 5, 0));
  t.push_back(Border("SPEEDBUTTON", "smallbtn", 4, 4, 4, 4, 5, 1));
  t.push_back(Border("SPEEDBUTTON_SMALL", "smallbtn", 4, 4, 4, 4, 5, 1));
  t.push_back(Border("TOOLBUTTON", "toolbtn", 4, 4, 4, 4, 7, 1));
  t.push_back({"TRACKBAR", "SLIDERCHANNEL", "channel", '^', 1, 1, 1, 1, 1, 1});
  t.push_back(Glyph("TRACKBAR", "SLIDERMASK", "thumbh"));
  t.push_back(Glyph("TRACKBAR", "SLIDERVMASK", "thumbv"));
  t.push_back(Glyph("TRACKBAR", "TICKHORZ", "tickh"));
  t.push_back(Glyph("TRACKBAR", "TICKVERT", "tickv"));
  t.push_back(Border("WEBBUTTON", "toolbtn", 4, 4, 4, 4, 7, 1));
  t.push_back(Border("COLHEADER", "colheader", 1, 1, 2, 2, 5, 1));
  t.push_back(Border("GRIPH", "griph", 0, 0, 0, 0, 0, 0));
  t.push_back(Border("TOOLBAR", "toolbar", 3, 3, 3, 3, 5, 1));
  t.push_back(Border("TABTOP", "tabtop", 3, 3, 3, 3, 5, 1));
  t.push_back(Border("TABRIGHT", "tabright", 3, 3, 3, 3, 5, 1));
  t.push_back(Border("TABLEFT", "tableft", 3, 3, 3, 3, 5, 1));
  t.push_back(Border("TABBOTTOM", "tabbottom", 3, 3, 3, 3, 5, 1));
  t.push_back(Border("PAGECONTROLBOTTOM", "page", 3, 3, 3, 3, 1, 1));
  t.push_back(Border("PAGECONTROLLEFT", "page", 3, 3, 3, 3, 1, 1));
  t.push_back(Border("PAGECONTROLRIGHT", "page", 3, 3, 3, 3, 1, 1));
  t.push_back(Border("FORM", "form", 5, 5, 6, 6, 1, 1));
  return t;
}

}  // namespace

TSkinLayout::TSkinLayout() : Images_(ImageTable()), Masks_(MaskTable()) {
  Place();
}

const TSkinImageDef& TSkinLayout::Image(const std::string& name) const {
  for (const auto& i : Images_)
    if (i.Name == name) return i;
  throw std::runtime_error("skin layout: no image named " + name);
}

TRect TSkinLayout::ImageRect(const std::string& name) const {
  auto it = Rects_.find(name);
  if (it == Rects_.end()) throw std::runtime_error("skin layout: no image named " + name);
  return it->second;
}

TRect TSkinLayout::MaskRect(const TSkinMaskDef& mask) const {
  if (!mask.Part.IsEmpty()) return mask.Part;
  return ImageRect(mask.Image);
}

std::string TSkinLayout::MaskString(const TSkinMaskDef& mask) const {
  const TRect r = MaskRect(mask);
  const TSkinImageDef& img = Image(mask.Image);
  const int count = mask.Part.IsEmpty() ? img.Count : 1;
  const int maskType = mask.Part.IsEmpty() ? img.MaskType : 0;
  char buf[96];
  if (mask.Form == '@') {
    std::snprintf(buf, sizeof buf, "@%04d@%04d@%04d@%04d@%d@%d", r.Left, r.Top, r.Right, r.Bottom,
                  count, maskType);
  } else {
    std::snprintf(buf, sizeof buf, "^%04d^%04d^%04d^%04d^%04d^%04d^%04d^%04d^%d^%d^%d^%d", r.Left,
                  r.Top, r.Right, r.Bottom, mask.WL, mask.WT, mask.WR, mask.WB, count, maskType,
                  mask.StretchMode, mask.BorderWidth);
  }
  return buf;
}

std::vector<const TSkinMaskDef*> TSkinLayout::SectionMasks(const std::string& section) const {
  std::vector<const TSkinMaskDef*> out;
  for (const auto& m : Masks_)
    if (m.Section == section) out.push_back(&m);
  return out;
}

// First-fit packing: each free image, tallest first, goes to the topmost, then
// leftmost, spot where it fits with a one-pixel magenta margin around it; where no
// such spot is left it may touch its neighbours.
void TSkinLayout::Place() {
  std::vector<unsigned char> used(std::size_t(MasterWidth) * MasterHeight, 0);
  auto mark = [&](const TRect& r) {
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) used[std::size_t(y) * MasterWidth + x] = 1;
  };
  auto isFree = [&](const TRect& r, int gap) {
    const int x0 = std::max(0, r.Left - gap), y0 = std::max(0, r.Top - gap);
    const int x1 = std::min(MasterWidth, r.Right + gap),
              y1 = std::min(MasterHeight, r.Bottom + gap);
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        if (used[std::size_t(y) * MasterWidth + x]) return false;
    return true;
  };
  for (const auto& img : Images_) {
    if (img.FixedX < 0) continue;
    TRect r{img.FixedX, img.FixedY, img.FixedX + img.Width(), img.FixedY + img.Height()};
    if (r.Right > MasterWidth || r.Bottom > MasterHeight || !isFree(r, 0))
      throw std::logic_error("skin layout: fixed image " + img.Name +
                             " overlaps or leaves the bitmap");
    Rects_[img.Name] = r;
    mark(r);
  }
  std::vector<const TSkinImageDef*> order;
  for (const auto& img : Images_)
    if (img.FixedX < 0) order.push_back(&img);
  std::stable_sort(order.begin(), order.end(), [](auto* a, auto* b) {
    if (a->Height() != b->Height()) return a->Height() > b->Height();
    return a->Width() > b->Width();
  });
  for (const TSkinImageDef* img : order) {
    bool placed = false;
    for (int gap = 1; gap >= 0 && !placed; --gap) {
      for (int y = 0; y + img->Height() <= MasterHeight && !placed; ++y) {
        for (int x = 0; x + img->Width() <= MasterWidth; ++x) {
          const TRect r{x, y, x + img->Width(), y + img->Height()};
          if (!isFree(r, gap)) continue;
          Rects_[img->Name] = r;
          mark(r);
          placed = true;
          break;
        }
      }
    }
    if (!placed)
      throw std::runtime_error("skin layout: no room in the master bitmap for " + img->Name);
  }
}

}  // namespace vm
