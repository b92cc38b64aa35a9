// Golden pictures: the built-in skin's items painted at the sizes the program
// uses, in every state, compared pixel by pixel with PNG files kept in
// tests/skin/paint/golden/. Set VELMORA_UPDATE_GOLDEN=1 to rewrite them on
// purpose; the pictures of every run are also written to the build folder
// (golden-actual/) for looking at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/gfx/DC.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/PngCodec.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/MaskPaint.h"
#include "skin/paint/SectionPaint.h"
#include "skin/paint/SkinText.h"
#include "tests/support/Golden.h"

#ifdef VM_HAVE_BUILTIN_SKIN
#include "skin/data/BuiltinSkin.h"

namespace vm {
namespace {

namespace fs = std::filesystem;

constexpr int Gap = 2;  // between the states of one picture
constexpr TColor GapColor = RGB(255, 255, 255);
constexpr TColor Magenta = 0x00FF00FF;  // no custom colour

// One item of a golden picture: a section at a size, over the background of
// the section it sits in, with an optional caption.
struct TGoldenItem {
  const char* Section;
  int Width;
  int Height;
  const char* Parent;  // painted first as what lies behind, or null
  const char* Caption = nullptr;
  bool Bold = false;
};

fs::path SourceDir() {
  const char* s = std::getenv("VELMORA_SOURCE_DIR");
  return s ? fs::path(s) : fs::current_path();
}

class Golden : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { PinFontConfiguration(); }
  void SetUp() override {
    manager.SetSkinDirectory("/nonexistent-velmora-skins");
    TsStoredSkin& s = manager.InternalSkins().Add();
    s.Name = BuiltinSkinName;
    const std::span<const std::uint8_t> bytes = BuiltinSkinContainer();
    s.Data.assign(bytes.begin(), bytes.end());
    manager.SetSkinName(BuiltinSkinName);
    ASSERT_FALSE(manager.gd.empty()) << "the built-in skin did not load";
  }

  int Section(const char* name) {
    const int i = manager.FindSectionIndex(name);
    EXPECT_GE(i, 0) << name;
    return i;
  }

  // Paints every item in each state, stacked downwards, each over the
  // background of the section it sits in (in state 0).
  TBitmap Render(const std::vector<TGoldenItem>& items, int states) {
    int w = 0, h = 0;
    for (const TGoldenItem& it : items) {
      w = std::max(w, it.Width);
      h += it.Height * states + Gap * states;
    }
    TBitmap out(w, h);
    out.Fill(GapColor);
    int y = 0;
    for (const TGoldenItem& it : items) {
      for (int state = 0; state < states; ++state) {
        TBitmap behind(it.Width, it.Height);
        behind.Fill(GapColor);
        BackgroundInfo back;
        if (it.Parent) {
          PaintSectionBackground(Section(it.Parent), it.Parent, {}, Magenta, -1, -1, &manager,
                                 behind, {}, {0, 0, it.Width, it.Height}, 0);
          back = BackgroundInfo{&behind, 0, 0, 1};
        }
        TBitmap item(it.Width, it.Height);
        const int section = Section(it.Section);
        PaintSectionItem(section, it.Section, back, -1, -1, &manager, item, {},
                         {0, 0, it.Width, it.Height}, state, true);
        if (it.Caption) {
          TDC dc(item);
          dc.SelectFont(TFont::Get(TFontDesc{"Tahoma", -11, it.Bold}));
          WriteSectionText(dc, it.Caption, true, &manager, state != 0, section,
                           DT_CENTER | DT_VCENTER | DT_SINGLELINE, {0, 0, it.Width, it.Height});
        }
        TDC outDc(out);
        outDc.BitBlt(0, y, it.Width, it.Height, item, 0, 0);
        y += it.Height + Gap;
      }
    }
    return out;
  }

  void Compare(const std::string& name, const TBitmap& actual) {
    if (const char* bin = std::getenv("VELMORA_BINARY_DIR")) {
      const fs::path dir = fs::path(bin) / "golden-actual";
      fs::create_directories(dir);
      SavePngFile((dir / (name + ".png")).string(), actual);
    }
    const fs::path file = SourceDir() / "tests/skin/paint/golden" / (name + ".png");
    test::ExpectGolden(actual, file, name);
  }

  TsSkinManager manager;
};

// The main window's buttons (49 x 41) and the dialogs' OK / Cancel buttons
// (75 x 25): normal, hot, pressed.
TEST_F(Golden, Button) {
  Compare("BUTTON",
          Render({{"BUTTON", 49, 41, "FORM"}, {"BUTTON", 75, 25, "DIALOG", "Отмена"}}, 3));
}

// The size dialog's spin edits (71 x 21): normal and focused.
TEST_F(Golden, Edit) {
  Compare("EDIT", Render({{"EDIT", 71, 21, "FORM"}}, 2));
}

// The main window's status bar, 713 x 19.
TEST_F(Golden, StatusBar) {
  Compare("STATUSBAR", Render({{"STATUSBAR", 713, 19, "FORM"}}, 2));
}

// The main window's caption strip: 719 wide (713 + two 3-pixel borders), 3 +
// 19 high, with its bold caption; inactive and active.
TEST_F(Golden, FormTitle) {
  Compare("FORMTITLE", Render({{"FORMTITLE", 719, 22, nullptr, "Velmora v8.0", true}}, 2));
}

// The "Файл" pop-up menu window (three items of 19 pixels, 3-pixel border) and
// its items in it, normal and selected; a menu-bar item (18 high).
TEST_F(Golden, MainMenu) {
  Compare("MAINMENU", Render({{"MAINMENU", 160, 63, "FORM"}}, 1));
}
TEST_F(Golden, MenuItem) {
  Compare("MENUITEM", Render({{"MENUITEM", 154, 19, "MAINMENU", "Открыть"},
                              {"MENUITEM", 40, 18, "MENULINE", "Файл"}},
                             2));
}

// Every border of the built-in skin keeps its corner pieces byte for byte at
// any size large enough for them, in every state (masks without a mask half;
// magenta pixels are skipped and leave the guard colour).
TEST_F(Golden, RealBordersKeepTheirCorners) {
  constexpr TColor guard = RGB(1, 2, 3);
  int checked = 0;
  for (const TsMaskData& md : manager.ma) {
    if (md.PropertyName != "BORDERSMASK" || md.MaskType != 0 || md.Image) continue;
    const int w = md.R.Width() / md.ImageCount, h = md.R.Height();
    for (int state = 0; state < md.ImageCount; ++state) {
      if (state == 0 && (md.StretchMode & 2)) continue;
      TBitmap b(w + 37, h + 23);
      b.Fill(guard);
      PaintNinePart(b, {0, 0, b.Width(), b.Height()}, true, false, state, md, {});
      const int fx = md.R.Left + state * w;
      const TBitmap& m = *manager.MasterBitmap;
      auto same = [&](int dx, int dy, int sx, int sy) {
        const TColor s = m.GetPixel(sx, sy);
        EXPECT_EQ(b.GetPixel(dx, dy), s == Magenta ? guard : s)
            << md.SectionName << " state " << state << " at " << dx << "," << dy;
      };
      for (int y = 0; y < md.WT; ++y)
        for (int x = 0; x < md.WL; ++x) same(x, y, fx + x, md.R.Top + y);
      for (int y = 0; y < md.WB; ++y)
        for (int x = 0; x < md.WR; ++x)
          same(b.Width() - md.WR + x, b.Height() - md.WB + y, fx + w - md.WR + x,
               md.R.Top + h - md.WB + y);
      ++checked;
    }
  }
  EXPECT_GT(checked, 20);
}

}  // namespace
}  // namespace vm

#endif
