// ThirdPartyList: the class names of standard controls that window-level
// skinning adapts, in 17 lists. Each list is a text of class names separated by
// CR LF; its index is the kind of skinning the adapter gives such a control.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace vm {

constexpr int ThirdPartyListCount = 17;

enum TThirdPartyKind : int {
  tpEdit = 0,
  tpButton = 1,
  tpBitBtn = 2,
  tpCheckBox = 3,
  tpComboBox = 4,
  tpGrid = 5,
  tpGroupBox = 6,
  tpListView = 7,
  tpPanel = 8,
  tpTreeView = 9,
  tpWWEdit = 10,
  tpGridEh = 11,
  tpVirtualTree = 12,
  tpPageControl = 13,
  tpTabControl = 14,
  tpToolBar = 15,
  tpStatusBar = 16,
};

class ThirdPartyList {
 public:
  ThirdPartyList() { SetDefaults(); }

  // Texts by index; the named accessors below address the same storage.
  std::array<std::string, ThirdPartyListCount> Lists;

  std::string& ThirdEdits() { return Lists[tpEdit]; }
  std::string& ThirdButtons() { return Lists[tpButton]; }
  std::string& ThirdBitBtns() { return Lists[tpBitBtn]; }
  std::string& ThirdCheckBoxes() { return Lists[tpCheckBox]; }
  std::string& ThirdComboBoxes() { return Lists[tpComboBox]; }
  std::string& ThirdGrids() { return Lists[tpGrid]; }
  std::string& ThirdGroupBoxes() { return Lists[tpGroupBox]; }
  std::string& ThirdListViews() { return Lists[tpListView]; }
  std::string& ThirdPanels() { return Lists[tpPanel]; }
  std::string& ThirdTreeViews() { return Lists[tpTreeView]; }
  std::string& ThirdWWEdits() { return Lists[tpWWEdit]; }
  std::string& ThirdGridEh() { return Lists[tpGridEh]; }
  std::string& ThirdVirtualTrees() { return Lists[tpVirtualTree]; }
  std::string& ThirdPageControl() { return Lists[tpPageControl]; }
  std::string& ThirdTabControl() { return Lists[tpTabControl]; }
  std::string& ThirdToolBar() { return Lists[tpToolBar]; }
  std::string& ThirdStatusBar() { return Lists[tpStatusBar]; }

  // The default text of list `index` (class names joined with CR LF).
  static std::string DefaultText(int index);
  // Property name of list `index` ("ThirdEdits", ...).
  static const char* PropertyName(int index);
  // Sets every list to its default.
  void SetDefaults();
};

// The manager's working copy: one vector of class names per list.
using TsClassLists = std::array<std::vector<std::string>, ThirdPartyListCount>;

// Fill: with `reset` every property takes its default; otherwise only empty
// ones do. Then each class list takes its property's class names, one per line.
void FillClassLists(ThirdPartyList& props, TsClassLists& lists, bool reset);
// Read back: every property takes the text of its list.
void ReadBackClassLists(const TsClassLists& lists, ThirdPartyList& props);
// Splits a CR LF (or LF) separated text into its non-empty lines.
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace vm
