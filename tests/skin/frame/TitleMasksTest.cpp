#include "skin/frame/TitleMasks.h"

#include <gtest/gtest.h>

#include "tests/skin/frame/TitleTestSupport.h"

namespace vm::test {
namespace {

int Global(const TsSkinModel& m, const char* property) {
  return m.FindMaskIndexNoInherit("GLOBALINFO", property);
}

TEST(TitleMasks, BuiltinSkinBigImagesForCaptionsSmallForDialogs) {
  TsSkinManager manager;
  LoadBuiltin(manager);
  ASSERT_TRUE(manager.SkinData.Active);
  const int form = manager.FindSectionIndex("FORM");
  ASSERT_GE(form, 0);

  for (TFormBorderStyle style : {bsSingle, bsSizeable}) {
    const TsTitleMasks m = LookUpTitleMasks(manager, form, style);
    EXPECT_EQ(m.Close, Global(manager, "BICONCLOSE"));
    EXPECT_EQ(m.Maximize, Global(manager, "BICONMAX"));
    EXPECT_EQ(m.Minimize, Global(manager, "BICONMIN"));
    EXPECT_EQ(m.Help, Global(manager, "BICONHELP"));
  }
  for (TFormBorderStyle style : {bsNone, bsDialog, bsToolWindow, bsSizeToolWin}) {
    const TsTitleMasks m = LookUpTitleMasks(manager, form, style);
    EXPECT_EQ(m.Close, Global(manager, "SICONCLOSE")) << style;
    EXPECT_EQ(m.Maximize, Global(manager, "SICONMAX"));
    EXPECT_EQ(m.Minimize, Global(manager, "SICONMIN"));
    EXPECT_EQ(m.Help, Global(manager, "SICONHELP"));
  }
  const TsTitleMasks m = LookUpTitleMasks(manager, form, bsSingle);
  EXPECT_EQ(m.Restore, Global(manager, "BICONNORM"));
  EXPECT_EQ(m.ChildRestore, Global(manager, "SICONNORM"));
  EXPECT_EQ(m.ChildClose, Global(manager, "SICONCLOSE"));
  EXPECT_EQ(m.ChildMinimize, Global(manager, "SICONMIN"));
  EXPECT_EQ(m.TitleButton, Global(manager, "TITLEBUTTON"));
  EXPECT_GE(m.TitleButton, 0);

  // "BICONCLOSE" is a 66 x 22 strip of three states: a 22 x 22 button.
  EXPECT_EQ(manager.ma[std::size_t(m.Close)].R.Width(), 66);
  EXPECT_EQ(TitleMaskCell(manager, m.Close, TitleButtonFallback), (TSize{22, 22}));
  EXPECT_EQ(TitleMaskCell(manager, m.ChildClose, ChildButtonFallback), (TSize{14, 14}));
}

TEST(TitleMasks, SmallCloseMissingTakesAllBigOnes) {
  TModelBuilder b;
  b.Section("GLOBALINFO");
  const int form = b.Section("FORM");
  const int close = b.Mask("GLOBALINFO", "BICONCLOSE");
  const int max = b.Mask("GLOBALINFO", "BICONMAX");
  const int min = b.Mask("GLOBALINFO", "BICONMIN");
  const int help = b.Mask("GLOBALINFO", "BICONHELP");
  b.Mask("GLOBALINFO", "SICONMIN");  // a small image alone does not count
  const TsTitleMasks m = LookUpTitleMasks(b.model, form, bsDialog);
  EXPECT_EQ(m.Close, close);
  EXPECT_EQ(m.Maximize, max);
  EXPECT_EQ(m.Minimize, min);
  EXPECT_EQ(m.Help, help);
  // Child buttons fall back image by image.
  EXPECT_EQ(m.ChildClose, close);
  EXPECT_EQ(m.ChildMaximize, max);
  EXPECT_EQ(m.ChildMinimize, b.model.FindMaskIndexNoInherit("GLOBALINFO", "SICONMIN"));
}

TEST(TitleMasks, SmallHelpFallsBackToBigHelp) {
  TModelBuilder b;
  b.Section("GLOBALINFO");
  const int form = b.Section("FORM");
  b.Mask("GLOBALINFO", "BICONCLOSE");
  const int bigHelp = b.Mask("GLOBALINFO", "BICONHELP");
  const int smallClose = b.Mask("GLOBALINFO", "SICONCLOSE");
  const TsTitleMasks m = LookUpTitleMasks(b.model, form, bsToolWindow);
  EXPECT_EQ(m.Close, smallClose);
  EXPECT_EQ(m.Help, bigHelp);
  // A missing small image leaves its button out rather than mixing sizes.
  EXPECT_EQ(m.Maximize, -1);
  EXPECT_EQ(m.Minimize, -1);
}

TEST(TitleMasks, WithoutGlobalCloseTheFormSectionServesBothUses) {
  TModelBuilder b;
  b.Section("GLOBALINFO");
  b.Section("FORM");
  const int dialog = b.Section("DIALOG", "FORM");
  b.Mask("DIALOG", "BICONMIN");        // the buttons come from FORM even for a DIALOG form
  b.Mask("GLOBALINFO", "SICONCLOSE");  // ignored without BICONCLOSE
  const int close = b.Mask("FORM", "BICONCLOSE");
  const int max = b.Mask("FORM", "BICONMAX");
  const int norm = b.Mask("FORM", "BICONNORM");
  const int title = b.Mask("FORM", "TITLEBUTTON");
  for (TFormBorderStyle style : {bsSizeable, bsDialog}) {
    const TsTitleMasks m = LookUpTitleMasks(b.model, dialog, style);
    EXPECT_EQ(m.Close, close);
    EXPECT_EQ(m.ChildClose, close);
    EXPECT_EQ(m.Maximize, max);
    EXPECT_EQ(m.ChildMaximize, max);
    EXPECT_EQ(m.Minimize, -1);
    EXPECT_EQ(m.Restore, norm);
    EXPECT_EQ(m.ChildRestore, norm);
    EXPECT_EQ(m.TitleButton, title);
  }
}

TEST(TitleMasks, GlobalRestoreAndTitleButtonWinOverTheFormsOwn) {
  TModelBuilder b;
  b.Section("GLOBALINFO");
  const int form = b.Section("FORM");
  b.Mask("FORM", "BICONNORM");
  b.Mask("FORM", "TITLEBUTTON");
  const int norm = b.Mask("GLOBALINFO", "BICONNORM");
  const int title = b.Mask("GLOBALINFO", "TITLEBUTTON");
  const TsTitleMasks m = LookUpTitleMasks(b.model, form, bsSingle);
  EXPECT_EQ(m.Restore, norm);
  EXPECT_EQ(m.ChildRestore, norm);  // no SICONNORM anywhere
  EXPECT_EQ(m.TitleButton, title);
}

TEST(TitleMasks, EmptyModelAndBadSectionFindNothing) {
  TsSkinModel empty;
  const TsTitleMasks m = LookUpTitleMasks(empty, 5, bsSizeable);
  for (int i : {m.Close, m.Maximize, m.Minimize, m.Help, m.Restore, m.ChildClose, m.ChildMaximize,
                m.ChildMinimize, m.ChildRestore, m.TitleButton})
    EXPECT_EQ(i, -1);
  // An index outside the table finds nothing of its own.
  TModelBuilder b;
  b.Section("OTHER");
  b.Mask("OTHER", "BICONNORM");
  b.Mask("OTHER", "BICONCLOSE");
  for (int bad : {-1, 99}) {
    EXPECT_EQ(LookUpTitleMasks(b.model, bad, bsSingle).Restore, -1);
    EXPECT_EQ(LookUpTitleMasks(b.model, bad, bsSingle).Close, -1);
  }
}

TEST(TitleMasks, CellSizesAndFallbacks) {
  TModelBuilder b;
  b.Section("GLOBALINFO");
  const int strip = b.Mask("GLOBALINFO", "A", {10, 5, 10 + 60, 5 + 40}, 3, 1);  // with mask rows
  const int noStates = b.Mask("GLOBALINFO", "B", {0, 0, 60, 20}, 0, 0);
  const int negativeType = b.Mask("GLOBALINFO", "C", {0, 0, 60, 20}, 3, -1);
  const int tooNarrow = b.Mask("GLOBALINFO", "D", {0, 0, 2, 20}, 3, 0);
  const int own = b.Mask("GLOBALINFO", "E", {0, 0, 0, 0}, 2, 0);
  b.model.ma[std::size_t(own)].Image = std::make_shared<TBitmap>(40, 30);

  EXPECT_EQ(TitleMaskCell(b.model, strip, TitleButtonFallback), (TSize{20, 20}));
  EXPECT_EQ(TitleMaskCell(b.model, own, TitleButtonFallback), (TSize{20, 15}));
  for (int bad : {-1, 99, noStates, negativeType, tooNarrow}) {
    EXPECT_EQ(TitleMaskCell(b.model, bad, TitleButtonFallback), (TSize{21, 21})) << bad;
    EXPECT_EQ(TitleMaskCell(b.model, bad, ChildButtonFallback), (TSize{16, 16})) << bad;
  }
}

}  // namespace
}  // namespace vm::test
