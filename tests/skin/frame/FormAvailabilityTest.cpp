#include "skin/frame/FormAvailability.h"

#include <gtest/gtest.h>


namespace vm::test {
namespace {

constexpr TBorderIcons AllIcons = biSystemMenu | biMinimize | biMaximize;

TEST(FormAvailability, MainWindowShapeOffersNoMaximise) {
  // The program's main window: a single border, system menu and minimise.
  const TsFormAvailability a =
      FormAvailability(bsSingle, biSystemMenu | biMinimize, fwsNormal, false, true);
  EXPECT_FALSE(a.MaximizeShown);
  EXPECT_FALSE(a.MaximizeEnabled);
  EXPECT_TRUE(a.MinimizeShown);
  EXPECT_TRUE(a.MinimizeEnabled);
  EXPECT_TRUE(a.CloseShown);
  EXPECT_FALSE(a.HelpShown);
  EXPECT_TRUE(a.RestoreItemShown);
  EXPECT_FALSE(a.RestoreEnabled);
  EXPECT_TRUE(a.SizeItemShown);
  EXPECT_FALSE(a.SizeEnabled);  // a single border cannot be dragged to another size
  EXPECT_TRUE(a.MoveEnabled);
}

TEST(FormAvailability, DialogShowsOnlyCloseAndHelp) {
  for (TBorderIcons icons : {AllIcons, AllIcons | biHelp}) {
    const TsFormAvailability a = FormAvailability(bsDialog, icons, fwsNormal, false, true);
    EXPECT_TRUE(a.CloseShown);
    EXPECT_EQ(a.HelpShown, (icons & biHelp) != 0);
    EXPECT_FALSE(a.MaximizeShown);
    EXPECT_FALSE(a.MinimizeShown);
    EXPECT_FALSE(a.RestoreItemShown);
    EXPECT_FALSE(a.SizeItemShown);
    EXPECT_FALSE(a.MaximizeEnabled);
  }
}

TEST(FormAvailability, WindowStatesOfASizeableForm) {
  const auto normal = FormAvailability(bsSizeable, AllIcons, fwsNormal, false, true);
  EXPECT_TRUE(normal.MaximizeEnabled);
  EXPECT_FALSE(normal.RestoreEnabled);
  EXPECT_TRUE(normal.SizeEnabled);

  const auto max = FormAvailability(bsSizeable, AllIcons, fwsMaximized, false, true);
  EXPECT_FALSE(max.MaximizeEnabled);
  EXPECT_TRUE(max.RestoreEnabled);
  EXPECT_FALSE(max.MoveEnabled);
  EXPECT_TRUE(max.MinimizeEnabled);

  const auto min = FormAvailability(bsSizeable, AllIcons, fwsMinimized, false, true);
  EXPECT_FALSE(min.MinimizeEnabled);
  EXPECT_TRUE(min.RestoreEnabled);
  EXPECT_FALSE(min.SizeEnabled);
  EXPECT_TRUE(min.MoveEnabled);

  // Minimised, even a form without the maximise icon shows both buttons (the
  // minimise button becomes its restore).
  const auto minNoMax =
      FormAvailability(bsSingle, biSystemMenu | biMinimize, fwsMinimized, false, true);
  EXPECT_TRUE(minNoMax.MaximizeShown);
  EXPECT_TRUE(minNoMax.MinimizeShown);
  EXPECT_TRUE(minNoMax.RestoreEnabled);
}

TEST(FormAvailability, NoSystemMenuAndChildren) {
  const auto bare = FormAvailability(bsSizeable, AllIcons, fwsNormal, false, false);
  EXPECT_FALSE(bare.CloseShown);
  EXPECT_FALSE(bare.MaximizeShown);
  EXPECT_FALSE(bare.MinimizeShown);
  EXPECT_FALSE(bare.RestoreItemShown);
  EXPECT_TRUE(bare.SizeItemShown);

  // A multi-document child may be maximised whatever its border.
  const auto child = FormAvailability(bsDialog, AllIcons, fwsNormal, true, true);
  EXPECT_TRUE(child.MaximizeEnabled);
  EXPECT_TRUE(child.MaximizeShown);
  EXPECT_TRUE(child.RestoreItemShown);
  EXPECT_TRUE(child.SizeItemShown);
  const auto maxChild = FormAvailability(bsSizeable, AllIcons, fwsMaximized, true, true);
  EXPECT_TRUE(maxChild.MaximizeEnabled);

  const auto tool = FormAvailability(bsToolWindow, AllIcons, fwsNormal, false, true);
  EXPECT_FALSE(tool.SizeItemShown);
  const auto sizeTool = FormAvailability(bsSizeToolWin, AllIcons, fwsNormal, false, true);
  EXPECT_TRUE(sizeTool.SizeItemShown);
  EXPECT_FALSE(sizeTool.MaximizeShown);
}

}  // namespace
}  // namespace vm::test
