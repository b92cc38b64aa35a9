// The built-in skin's generator: description text, layout and bitmaps.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/skingen/Raster.h"
#include "tools/skingen/SkinBitmaps.h"
#include "tools/skingen/SkinDescription.h"
#include "tools/skingen/SkinLayout.h"
#include "tools/skingen/SkinTheme.h"

namespace vm {
namespace {

constexpr TColor Magenta = 0x00FF00FF;

std::string SourceDir() {
  const char* dir = std::getenv("VELMORA_SOURCE_DIR");
  return dir ? dir : ".";
}

struct TSection {
  std::string Name;
  std::vector<std::pair<std::string, std::string>> Keys;
  std::string Get(const std::string& key) const {
    for (auto& [k, v] : Keys)
      if (k == key) return v;
    return "<absent>";
  }
};

// A deliberately small reader: the real one lives in the skin data layer.
std::vector<TSection> ParseIni(const std::string& text) {
  std::vector<TSection> out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(pos, end - pos);
    pos = end + 2;
    if (line.empty()) continue;
    if (line.front() == '[') {
      out.push_back({line.substr(1, line.size() - 2), {}});
    } else if (!out.empty()) {
      const std::size_t eq = line.find('=');
      out.back().Keys.push_back({line.substr(0, eq), line.substr(eq + 1)});
    }
  }
  return out;
}

// A mask value decoded by its fixed columns.
struct TMaskValue {
  TRect R;
  int Count = 1;
  int MaskType = 0;
  bool OwnImage = false;
};

bool IsMaskValue(const std::string& v) {
  return !v.empty() && (v[0] == '^' || v[0] == '@' || v[0] == '!' || v[0] == '~');
}

TMaskValue DecodeMask(const std::string& v) {
  auto num = [&](int col, int len) {
    return std::stoi(v.substr(std::size_t(col - 1), std::size_t(len)));
  };
  TMaskValue m;
  if (v[0] == '!') {
    m.OwnImage = true;
    m.R = {0, 0, 288, 192};
    m.Count = 3;
    m.MaskType = 1;
    return m;
  }
  m.R = {num(2, 4), num(7, 4), num(12, 4), num(17, 4)};
  if (v[0] == '^') {
    m.Count = num(42, 1);
    m.MaskType = num(44, 1);
  } else {
    m.Count = num(22, 1);
    m.MaskType = num(24, 1);
  }
  return m;
}

class SkinGen : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    layout = new TSkinLayout;
    master = new TIndexedImage(DecodeBmp8(EncodeBmp8(Quantise(RenderMaster(*layout)))));
    huge = new TIndexedImage(DecodeBmp8(EncodeBmp8(Quantise(RenderHugeButton()))));
    sections = new std::vector<TSection>(ParseIni(BuildDescription(*layout)));
  }
  static void TearDownTestSuite() {
    delete layout;
    delete master;
    delete huge;
    delete sections;
  }
  static const TSection& Section(const std::string& name) {
    for (auto& s : *sections)
      if (s.Name == name) return s;
    throw std::runtime_error("no section " + name);
  }
  static TSkinLayout* layout;
  static TIndexedImage* master;
  static TIndexedImage* huge;
  static std::vector<TSection>* sections;
};

TSkinLayout* SkinGen::layout;
TIndexedImage* SkinGen::master;
TIndexedImage* SkinGen::huge;
std::vector<TSection>* SkinGen::sections;

TEST_F(SkinGen, CommittedDescriptionIsTheGeneratedOne) {
  const std::vector<std::uint8_t> file =
      ReadFile(SourceDir() + "/assets/skins/office2007-blue/Options.dat");
  const std::string text = BuildDescription(*layout);
  const std::string committed(file.begin(), file.end());
  std::size_t at = 0;
  while (at < committed.size() && at < text.size() && committed[at] == text[at]) ++at;
  EXPECT_TRUE(committed == text)
      << "first difference at byte " << at << " (\""
      << text.substr(at - std::min<std::size_t>(at, 40), 80) << "\"); regenerate with: "
      << "skingen --description assets/skins/office2007-blue/Options.dat";
}

TEST_F(SkinGen, DescriptionFormat) {
  const std::string text = BuildDescription(*layout);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
    }
    if (text[i] == '\r') {
      ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n');
    }
    ASSERT_LT((unsigned char)text[i], 128) << "non-ASCII byte at " << i;
  }
  ASSERT_EQ(sections->size(), 64u);
  const auto& order = SkinSectionOrder();
  for (std::size_t i = 0; i < sections->size(); ++i) {
    EXPECT_EQ((*sections)[i].Name, order[i]);
    for (auto& [k, v] : (*sections)[i].Keys) {
      EXPECT_FALSE(k.empty() || k[0] == ';' || k[0] == '#') << k;
      for (char c : k) EXPECT_FALSE(c >= 'a' && c <= 'z') << k;
    }
  }
  EXPECT_EQ((*sections)[41].Name, "BUTTON");
  for (auto& s : *sections) {
    const bool child =
        s.Name == "TABCONTROLBOTTOM" || s.Name == "TABCONTROLLEFT" || s.Name == "TABCONTROLRIGHT";
    EXPECT_EQ(s.Get("PARENTCLASS") != "<absent>", child) << s.Name;
  }
  EXPECT_EQ(Section("TABCONTROLLEFT").Get("PARENTCLASS"), "PAGECONTROLLEFT");
  EXPECT_EQ(Section("TABCONTROLLEFT").Keys.size(), 1u);
  EXPECT_NE(Section("TOOLBAR").Get("+GRADIENTDATA"), "<absent>");
}

TEST_F(SkinGen, ProgramSectionsCarryTheirFixedValues) {
  const std::map<std::string, std::map<std::string, std::string>> want{
      {"GLOBALINFO",
       {{"COLOR", "16442322"},
        {"HOTCOLOR", "16511722"},
        {"FONTCOLOR", "8542779"},
        {"TCLEFT", "16777215"},
        {"BORDERCOLOR", "14598571"},
        {"SHADOW1COLOR", "9528123"},
        {"SHADOW1OFFSET", "1"},
        {"SHADOW1BLUR", "4"},
        {"BISPACE", "1"},
        {"VERSION", "5.43"},
        {"MASTERBITMAP", "MASTER.BMP"}}},
      {"FORM",
       {{"COLOR", "16442322"},
        {"HOTCOLOR", "16442322"},
        {"FONTCOLOR", "8542779"},
        {"HOTFONTCOLOR", "8542779"},
        {"TRANSPARENCY", "0"},
        {"IMAGEPERCENT", "0"},
        {"HOTIMAGEPERCENT", "0"},
        {"RESERVEDBOOLEAN", "TRUE"},
        {"BORDERSMASK", "^0012^0000^0024^0013^0005^0005^0006^0006^1^0^1^1"}}},
      {"FORMTITLE",
       {{"GRADIENTPERCENT", "100"},
        {"HOTGRADIENTPERCENT", "100"},
        {"FONTCOLOR", "10852487"},
        {"HOTFONTCOLOR", "7228729"},
        {"HOTTCBOTTOM", "16511722"},
        {"TRANSPARENCY", "0"},
        {"HOTTRANSPARENCY", "0"},
        {"BORDERSMASK", "^0000^0000^0012^0022^0005^0007^0006^0002^1^1^1^1"}}},
      {"BUTTON",
       {{"BORDERSMASK", "^0066^0071^0129^0092^0010^0010^0010^0010^3^0^5^0"},
        {"TRANSPARENCY", "100"},
        {"HOTTRANSPARENCY", "100"},
        {"GRADIENTPERCENT", "0"},
        {"HOTGRADIENTPERCENT", "0"},
        {"FADINGENABLED", "TRUE"},
        {"FADINGITERATIONS", "20"},
        {"FONTCOLOR", "8542779"},
        {"HOTFONTCOLOR", "8542779"}}},
      {"EDIT",
       {{"COLOR", "16511722"},
        {"HOTCOLOR", "16511722"},
        {"BORDERSMASK", "^0021^0013^0024^0016^0001^0001^0001^0001^1^0^1^1"}}},
      {"STATUSBAR",
       {{"GRADIENTPERCENT", "100"},
        {"FONTCOLOR", "8542779"},
        {"HOTFONTCOLOR", "8542779"},
        {"BORDERSMASK", "^0001^0009^0011^0014^0000^0002^0000^0000^1^0^1^1"}}},
      {"TRACKBAR",
       {{"COLOR", "15791348"},
        {"HOTCOLOR", "16777215"},
        {"TRANSPARENCY", "100"},
        {"HOTTRANSPARENCY", "100"},
        {"FADINGENABLED", "TRUE"},
        {"FADINGITERATIONS", "20"},
        {"SLIDERCHANNEL", "^0021^0019^0024^0022^0001^0001^0001^0001^1^0^1^1"},
        {"SLIDERMASK", "@0129@0068@0151@0089@2@0"},
        {"SLIDERVMASK", "@0176@0057@0218@0068@2@0"},
        {"TICKHORZ", "@0144@0060@0146@0062@1@0"},
        {"TICKVERT", "@0096@0025@0098@0028@1@0"}}},
      {"MAINMENU",
       {{"COLOR", "16448250"},
        {"HOTCOLOR", "16184300"},
        {"GRADIENTPERCENT", "100"},
        {"TRANSPARENCY", "0"},
        {"GRADIENTDATA", "16448250;16448250;50;0;0;16448250;16448250;50;0;0"},
        {"FONTCOLOR", "8542779"},
        {"HOTFONTCOLOR", "8542779"},
        {"BORDERSMASK", "^0029^0004^0033^0010^0001^0001^0001^0001^1^0^1^1"}}},
      {"MENUITEM",
       {{"COLOR", "15791348"},
        {"TRANSPARENCY", "100"},
        {"HOTTRANSPARENCY", "0"},
        {"GRADIENTPERCENT", "0"},
        {"HOTGRADIENTPERCENT", "100"},
        {"FADINGENABLED", "FALSE"},
        {"FONTCOLOR", "5059883"},
        {"HOTFONTCOLOR", "149612"},
        {"BORDERSMASK", "^0222^0013^0240^0025^0002^0002^0002^0002^3^1^3^1"}}},
      {"BUTTON_HUGE", {{"BORDERSMASK", "!BUTTONHUGE.BMP!3!1!0!0047!0047!0047!0047"}}},
      {"TABCONTROL",
       {{"GRADIENTDATA",
         "16777215;16777215;61;0;0;16777215;16184300;36;0;0;16184300;16184300;0;0;0"}}},
  };
  for (auto& [section, keys] : want)
    for (auto& [key, value] : keys)
      EXPECT_EQ(Section(section).Get(key), value) << section << " " << key;
  // DIALOG is FORM under another name.
  EXPECT_EQ(Section("DIALOG").Keys, Section("FORM").Keys);
  // Gradient step counts: five fields per step.
  auto steps = [](const std::string& g) { return (std::count(g.begin(), g.end(), ';') + 1) / 5; };
  EXPECT_EQ(steps(Section("FORMTITLE").Get("GRADIENTDATA")), 5);
  EXPECT_EQ(steps(Section("FORMTITLE").Get("HOTGRADIENTDATA")), 5);
  EXPECT_EQ(steps(Section("STATUSBAR").Get("GRADIENTDATA")), 5);
  EXPECT_EQ(steps(Section("MENUITEM").Get("HOTGRADIENTDATA")), 4);
}

TEST_F(SkinGen, MaskInventory) {
  int borders = 0, masks = 0;
  std::set<std::string> glyphMasks;
  for (auto& s : *sections)
    for (auto& [k, v] : s.Keys) {
      if (!IsMaskValue(v)) continue;
      ++masks;
      if (k == "BORDERSMASK") ++borders;
      if (k == "GLYPHMASK") glyphMasks.insert(s.Name);
    }
  EXPECT_EQ(borders, 51);
  EXPECT_EQ(masks, 83);
  EXPECT_EQ(glyphMasks, (std::set<std::string>{"SCROLLBTNLEFT", "SCROLLBTNRIGHT", "SCROLLBTNTOP",
                                               "SCROLLBTNBOTTOM", "COMBOBOX", "NIRVEXCOMBOBOX"}));
  const TSection& g = Section("GLOBALINFO");
  for (const char* key :
       {"BOXCHECKED",   "BOXUNCHECKED",   "BOXGRAYED",   "RADIOCHECKED", "RADIOUNCHECKED",
        "SMALLCHECKED", "SMALLUNCHECKED", "SMALLGRAYED", "CHECK",        "GRIPIMAGE",
        "TITLEBUTTON",  "BICONCLOSE",     "BICONMAX",    "BICONNORM",    "BICONMIN",
        "BICONHELP",    "SICONCLOSE",     "SICONMAX",    "SICONNORM",    "SICONMIN",
        "SICONHELP"})
    EXPECT_EQ(g.Get(key).substr(0, 1), "@") << key;
  EXPECT_EQ(g.Get("RADIOGRAYED"), "<absent>");
  const TMaskValue close = DecodeMask(g.Get("BICONCLOSE"));
  EXPECT_EQ(close.R.Width(), 66);
  EXPECT_EQ(close.R.Height(), 22);
  EXPECT_EQ(close.Count, 3);
}

TEST_F(SkinGen, BitmapsAreValidPaletteBmps) {
  const std::vector<std::uint8_t> bmp = EncodeBmp8(Quantise(RenderMaster(*layout)));
  EXPECT_EQ(bmp[28], 8);                               // bits per pixel
  EXPECT_GT(std::int32_t(bmp[22] | bmp[23] << 8), 0);  // positive height: bottom-up rows
  EXPECT_EQ(master->Width, MasterWidth);
  EXPECT_EQ(master->Height, MasterHeight);
  EXPECT_EQ(huge->Width, 288);
  EXPECT_EQ(huge->Height, 192);
  for (const TIndexedImage* img : {master, huge}) {
    EXPECT_LE(img->Palette.size(), 256u);
    // Magenta appears once in the palette, exactly.
    EXPECT_EQ(std::count(img->Palette.begin(), img->Palette.end(), Magenta), 1);
  }
}

TEST_F(SkinGen, EveryMaskLiesInsideItsBitmapAndEveryStateIsPainted) {
  for (auto& s : *sections)
    for (auto& [k, v] : s.Keys) {
      if (!IsMaskValue(v)) continue;
      SCOPED_TRACE(s.Name + " " + k + "=" + v);
      const TMaskValue m = DecodeMask(v);
      const TIndexedImage& img = m.OwnImage ? *huge : *master;
      ASSERT_GE(m.R.Left, 0);
      ASSERT_GE(m.R.Top, 0);
      ASSERT_LE(m.R.Right, img.Width);
      ASSERT_LE(m.R.Bottom, img.Height);
      ASSERT_EQ(m.R.Width() % m.Count, 0);
      ASSERT_EQ(m.R.Height() % (m.MaskType + 1), 0);
      const int w = m.R.Width() / m.Count, h = m.R.Height() / (m.MaskType + 1);
      for (int state = 0; state < m.Count; ++state) {
        int painted = 0;
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x)
            if (img.ColorAt(m.R.Left + state * w + x, m.R.Top + y) != Magenta) ++painted;
        EXPECT_GT(painted, 0) << "state " << state << " is empty";
        // Mask rows are grey: black opaque, white transparent.
        for (int y = h; y < m.R.Height(); ++y)
          for (int x = 0; x < w; ++x) {
            const TColor c = img.ColorAt(m.R.Left + state * w + x, m.R.Top + y);
            ASSERT_TRUE(GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c));
          }
      }
    }
}

TEST_F(SkinGen, LayoutKeepsImagesApartWithMagentaBetween) {
  std::vector<TRect> rects;
  for (const auto& img : layout->Images()) rects.push_back(layout->ImageRect(img.Name));
  for (std::size_t i = 0; i < rects.size(); ++i)
    for (std::size_t j = i + 1; j < rects.size(); ++j)
      EXPECT_TRUE(rects[i].Intersect(rects[j]).IsEmpty())
          << layout->Images()[i].Name << " overlaps " << layout->Images()[j].Name;
  for (int y = 0; y < MasterHeight; ++y)
    for (int x = 0; x < MasterWidth; ++x) {
      bool inside = false;
      for (const TRect& r : rects) inside = inside || r.Contains({x, y});
      if (!inside) {
        ASSERT_EQ(master->ColorAt(x, y), Magenta) << x << "," << y;
      }
    }
}

// Stretched and tiled pieces must not change along the direction they are stretched,
// or a wide control shows stripes.
TEST_F(SkinGen, StretchedEdgesAreUniform) {
  // The status bar's top edge is two rows stretched sideways.
  for (int y = 9; y < 11; ++y)
    for (int x = 2; x < 11; ++x)
      EXPECT_EQ(master->ColorAt(x, y), master->ColorAt(1, y)) << x << "," << y;
  // The caption strip's top side (one column between the corners) and the
  // form border's sides are single columns or rows, so nothing to compare there;
  // the push button's top side is column 10 of each state, its centre one pixel.
  const TRect b = layout->ImageRect("button");
  for (int s = 0; s < 3; ++s) EXPECT_NE(master->ColorAt(b.Left + s * 21 + 10, b.Top + 10), Magenta);
}

// The window region is the frame minus the runs of magenta in the corner pieces of the
// caption strip and the form border: a magenta pixel anywhere but the outer corner
// would punch a hole into the window.
void CheckOnlyOuterCornersAreKeyColoured(const TIndexedImage* master) {
  struct TCase {
    TRect R;
    int WL, WT, WR, WB;
  };
  for (const TCase& c : {TCase{{0, 0, 12, 11}, 5, 7, 6, 2}, TCase{{12, 0, 24, 13}, 5, 5, 6, 6}}) {
    for (int y = c.R.Top; y < c.R.Bottom; ++y) {
      // Left part: magenta only as a run from the left edge; right part: to the right edge.
      bool run = true;
      for (int x = c.R.Left; x < c.R.Right; ++x) {
        const bool key = master->ColorAt(x, y) == Magenta;
        if (!key) run = false;
        if (x - c.R.Left < c.R.Width() / 2) {
          EXPECT_TRUE(!key || run) << x << "," << y;
        }
      }
      run = true;
      for (int x = c.R.Right - 1; x >= c.R.Left + c.R.Width() / 2; --x) {
        const bool key = master->ColorAt(x, y) == Magenta;
        if (!key) run = false;
        EXPECT_TRUE(!key || run) << x << "," << y;
      }
    }
  }
  // Where the caption's picture is key-coloured its mask is white (transparent).
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 12; ++x)
      if (master->ColorAt(x, y) == Magenta) {
        EXPECT_EQ(master->ColorAt(x, y + 11), RGB(255, 255, 255));
      }
}

TEST_F(SkinGen, OnlyOuterCornersOfTheFrameAreKeyColoured) {
  CheckOnlyOuterCornersAreKeyColoured(master);
}

// Border widths must leave a centre inside each state picture, and pieces that
// painters tile (every piece of an image with a mask row) must repeat seamlessly:
// one colour along the tiling direction, or a wide control shows stripes.
void CheckNinePartPiecesFitAndTile(const TIndexedImage* master, const TIndexedImage* huge,
                                   const std::vector<TSection>& sections) {
  for (auto& sec : sections)
    for (auto& [k, v] : sec.Keys) {
      if (v.empty() || v[0] != '^') continue;
      SCOPED_TRACE(sec.Name + " " + k + "=" + v);
      const TMaskValue m = DecodeMask(v);
      // The value is captured by name: clang cannot capture a structured binding.
      auto num = [&value = v](int col) { return std::stoi(value.substr(std::size_t(col - 1), 4)); };
      const int wl = num(22), wt = num(27), wr = num(32), wb = num(37);
      const int w = m.R.Width() / m.Count, h = m.R.Height() / (m.MaskType + 1);
      EXPECT_LE(wl + wr, w);
      EXPECT_LE(wt + wb, h);
      if (m.MaskType == 0) continue;
      for (int state = 0; state < m.Count; ++state) {
        const int fx = m.R.Left + state * w, fy = m.R.Top;
        for (int y = 0; y < h; ++y)  // top, centre and bottom bands: same across the middle columns
          for (int x = wl + 1; x < w - wr; ++x) {
            EXPECT_EQ(master->ColorAt(fx + x, fy + y), master->ColorAt(fx + wl, fy + y))
                << x << "," << y;
            EXPECT_EQ(master->ColorAt(fx + x, fy + y + h), master->ColorAt(fx + wl, fy + y + h));
          }
        for (int y = wt + 1; y < h - wb; ++y)  // left and right sides: same down the middle rows
          for (int x = 0; x < w; ++x) {
            EXPECT_EQ(master->ColorAt(fx + x, fy + y), master->ColorAt(fx + x, fy + wt))
                << x << "," << y;
            EXPECT_EQ(master->ColorAt(fx + x, fy + y + h), master->ColorAt(fx + x, fy + wt + h));
          }
      }
    }
  // The large button's own picture: 47-pixel borders around a 2 x 2 centre.
  for (int state = 0; state < 3; ++state)
    for (int i = 0; i < 96; ++i) {
      EXPECT_EQ(huge->ColorAt(state * 96 + 48, i), huge->ColorAt(state * 96 + 47, i));
      EXPECT_EQ(huge->ColorAt(state * 96 + i, 48), huge->ColorAt(state * 96 + i, 47));
    }
}

TEST_F(SkinGen, NinePartPiecesFitAndTileCleanly) {
  CheckNinePartPiecesFitAndTile(master, huge, *sections);
}

// The shipped skins are the built-in one made over: the same sections, keys
// and masks, other colours, and pictures that keep every property painters
// rely on.
TEST(SkinGenThemes, DescriptionsKeepEveryKeyAndMaskAndMoveTheColours) {
  const TSkinLayout layout;
  const std::string builtin = BuildDescription(layout);
  const std::vector<TSection> base = ParseIni(builtin);
  std::set<std::string> texts;
  for (const TSkinTheme& theme : ShippedThemes()) {
    SCOPED_TRACE(theme.Name);
    const std::string text = ThemeDescription(builtin, theme);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'),
              std::count(builtin.begin(), builtin.end(), '\n'));
    const std::vector<TSection> made = ParseIni(text);
    ASSERT_EQ(made.size(), base.size());
    int moved = 0;
    for (std::size_t i = 0; i < base.size(); ++i) {
      ASSERT_EQ(made[i].Name, base[i].Name);
      ASSERT_EQ(made[i].Keys.size(), base[i].Keys.size());
      for (std::size_t k = 0; k < base[i].Keys.size(); ++k) {
        const auto& [key, was] = base[i].Keys[k];
        const std::string& now = made[i].Keys[k].second;
        ASSERT_EQ(made[i].Keys[k].first, key);
        if (key == "DESCRIPTION")
          EXPECT_EQ(now, theme.Name);
        else if (IsMaskValue(was) || key == "VERSION" || key == "MASTERBITMAP" ||
                 key.find("PERCENT") != std::string::npos || was == "16711935" || was == "-1")
          EXPECT_EQ(now, was) << base[i].Name << " " << key;
        else if (now != was)
          ++moved;
      }
    }
    EXPECT_GT(moved, 150);
    texts.insert(text);
  }
  EXPECT_EQ(texts.size(), ShippedThemes().size());
}

TEST(SkinGenThemes, TheKeyStaysAndNoColourBecomesIt) {
  for (const TSkinTheme& theme : ShippedThemes()) {
    SCOPED_TRACE(theme.Name);
    EXPECT_EQ(ThemeColor(theme, Magenta), Magenta);
    for (int r = 0; r < 256; r += 17)
      for (int g = 0; g < 256; g += 17)
        for (int b = 0; b < 256; b += 17) {
          const TColor c = RGB(r, g, b);
          if (c == Magenta) continue;
          const TColor m = ThemeColor(theme, c);
          ASSERT_NE(m, Magenta) << r << "," << g << "," << b;
          // Greys stay grey (only their lightness may move).
          if (r == g && g == b) {
            EXPECT_TRUE(GetRValue(m) == GetGValue(m) && GetGValue(m) == GetBValue(m));
          }
        }
    // The built-in window colour does move.
    EXPECT_NE(ThemeColor(theme, RGB(210, 227, 250)), RGB(210, 227, 250));
  }
}

TEST(SkinGenThemes, PicturesKeepTheirMasksTheirFrameCornersAndCleanTiles) {
  const TSkinLayout layout;
  const std::string builtin = BuildDescription(layout);
  const TIndexedImage baseMaster = Quantise(RenderMaster(layout));
  for (const TSkinTheme& theme : ShippedThemes()) {
    SCOPED_TRACE(theme.Name);
    TRgbImage master = RenderMaster(layout, theme.Shape);
    const TRgbImage painted = master;
    Recolour(master, theme);
    for (std::size_t i = 0; i < master.IsMask.size(); ++i)
      if (master.IsMask[i]) {
        ASSERT_EQ(master.Rgb[3 * i], painted.Rgb[3 * i]);
        ASSERT_EQ(master.Rgb[3 * i + 2], painted.Rgb[3 * i + 2]);
      }
    TRgbImage hugeRgb = RenderHugeButton(theme.Shape);
    Recolour(hugeRgb, theme);
    const TIndexedImage m = DecodeBmp8(EncodeBmp8(Quantise(master)));
    const TIndexedImage h = DecodeBmp8(EncodeBmp8(Quantise(hugeRgb)));
    CheckOnlyOuterCornersAreKeyColoured(&m);
    CheckNinePartPiecesFitAndTile(&m, &h, ParseIni(ThemeDescription(builtin, theme)));
    int differ = 0;
    for (int y = 0; y < m.Height; ++y)
      for (int x = 0; x < m.Width; ++x) differ += m.ColorAt(x, y) != baseMaster.ColorAt(x, y);
    EXPECT_GT(differ, m.Width * m.Height / 4);
  }
}

TEST(SkinGenQuantise, KeepsKeyAndMaskColoursExact) {
  // A picture with far more than 256 colours, a magenta area and a mask row.
  TRgbImage img(64, 16);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 64; ++x) img.Set(x, y, x * 4, y * 32, 255 - x * 3);
  img.Set(5, 3, 255, 0, 254);  // one step from magenta: must not become the key
  for (int x = 0; x < 64; ++x) img.Set(x, 8, x * 4, x * 4, x * 4, true);
  // Rows 9..15 stay magenta.
  const TIndexedImage q = Quantise(img);
  ASSERT_LE(q.Palette.size(), 256u);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 64; ++x) {
      const TColor c = q.ColorAt(x, y);
      if (y >= 9) {
        EXPECT_EQ(c, Magenta);
      } else if (y == 8) {
        EXPECT_TRUE(GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c)) << x;
        EXPECT_LE(std::abs(GetRValue(c) - x * 4), 5) << x;
      } else if (x == 5 && y == 3) {
        EXPECT_NE(c, Magenta);
      } else {
        EXPECT_NE(c, Magenta) << x << "," << y;
        EXPECT_LE(std::abs(GetRValue(c) - x * 4) + std::abs(GetGValue(c) - y * 32) +
                      std::abs(GetBValue(c) - (255 - x * 3)),
                  40)
            << x << "," << y;
      }
    }
}

// Shapes on whole pixels cover them exactly: no bleeding into the neighbours,
// which would turn magenta margins into stray pixels.
TEST(SkinGenRaster, AlignedShapesCoverWholePixels) {
  TRaster r(8, 6);
  r.Fill(RoundRect(2, 1, 6, 5, 0), Solid(Rgb(10, 20, 30)));
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool inside = x >= 2 && x < 6 && y >= 1 && y < 5;
      EXPECT_FLOAT_EQ(r.At(x, y).A, inside ? 1.0f : 0.0f) << x << "," << y;
    }
  EXPECT_FLOAT_EQ(r.At(3, 2).R, 10.0f);
  // Half a pixel covered gives half coverage.
  TRaster h(2, 1);
  h.Fill(RoundRect(0, 0, 1.5f, 1, 0), Solid(Rgb(0, 0, 0)));
  EXPECT_FLOAT_EQ(h.At(1, 0).A, 0.5f);
}

TEST(SkinGenBmp, DecoderRejectsDamagedFiles) {
  TIndexedImage img;
  img.Width = 3;
  img.Height = 2;
  img.Palette = {Magenta, RGB(1, 2, 3)};
  img.Pixels = {0, 1, 0, 1, 0, 1};
  const std::vector<std::uint8_t> good = EncodeBmp8(img);
  const TIndexedImage back = DecodeBmp8(good);
  EXPECT_EQ(back.Pixels, img.Pixels);
  EXPECT_EQ(back.Palette, img.Palette);

  std::vector<std::uint8_t> bad = good;
  bad[0] = 'X';
  EXPECT_THROW(DecodeBmp8(bad), std::runtime_error);
  bad = good;
  bad.resize(bad.size() - 1);
  EXPECT_THROW(DecodeBmp8(bad), std::runtime_error);
  bad = good;
  bad[bad.size() - 4] = 7;  // a pixel index beyond the two-colour palette
  EXPECT_THROW(DecodeBmp8(bad), std::runtime_error);
  bad = good;
  bad[22] = 0, bad[23] = 0, bad[24] = 0, bad[25] = 0x80;  // height INT32_MIN
  EXPECT_THROW(DecodeBmp8(bad), std::runtime_error);
}

// The build runs the real program; check its contract end to end.
TEST(SkinGenProgram, WritesBothBitmapsAndPreviews) {
  const char* bin = std::getenv("VELMORA_BINARY_DIR");
  const std::filesystem::path exe =
      std::filesystem::path(bin ? bin : "build") / "tools/skingen/skingen";
  if (!std::filesystem::exists(exe)) GTEST_SKIP() << "skingen not built at " << exe;
  const auto dir =
      std::filesystem::temp_directory_path() / ("skingen-test-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string cmd = exe.string() + " --preview " + dir.string();
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  for (const char* f : {"MASTER.BMP", "BUTTONHUGE.BMP", "MASTER-x4.png", "BUTTONHUGE-x4.png"})
    EXPECT_TRUE(std::filesystem::exists(dir / f)) << f;
  const TIndexedImage m = DecodeBmp8(ReadFile((dir / "MASTER.BMP").string()));
  EXPECT_EQ(m.Width, MasterWidth);
  EXPECT_NE(std::system((exe.string() + " > /dev/null 2>&1").c_str()), 0);  // usage error
  // A shipped skin: its two pictures and its description.
  const auto skin = dir / "skin";
  std::filesystem::create_directories(skin);
  ASSERT_EQ(std::system((exe.string() + " --skin Malachite " + skin.string()).c_str()), 0);
  for (const char* f : {"MASTER.BMP", "BUTTONHUGE.BMP", "Options.dat"})
    EXPECT_TRUE(std::filesystem::exists(skin / f)) << f;
  EXPECT_NE(
      std::system((exe.string() + " --skin Nothing " + skin.string() + " 2>/dev/null").c_str()), 0);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vm
