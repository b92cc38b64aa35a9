#include "skin/data/ThirdPartyList.h"

namespace vm {

namespace {

struct ListDefault {
  const char* Property;
  const char* Classes;  // separated by blanks here, by CR LF in the property
};

constexpr ListDefault Defaults[ThirdPartyListCount] = {
    {"ThirdEdits",
     "TEdit TMemo TMaskEdit TLabeledEdit THotKey TListBox TCheckListBox TDBListBox TRichEdit "
     "TDBMemo TSynEdit TSynMemo TDBSynEdit TDBLookupListBox TDBRichEdit TDBCtrlGrid "
     "TDateTimePicker TDBEdit"},
    {"ThirdButtons", "TButton"},
    {"ThirdBitBtns", "TBitBtn"},
    {"ThirdCheckBoxes", "TCheckBox TRadioButton TDBCheckBox TDBCheckBoxEh TGroupButton"},
    {"ThirdComboBoxes", "TComboBox TColorBox TDBComboBox"},
    {"ThirdGrids",
     "TStringGrid TDrawGrid TRichView TDBRichViewEdit TRichViewEdit TDBRichView TwwDBGrid "
     "TAdvStringGrid TDBAdvGrid TValueListEditor TDBGrid"},
    {"ThirdGroupBoxes", "TGroupBox TDBRadioGroup TRadioGroup"},
    {"ThirdListViews", "TListView"},
    {"ThirdPanels", "TPanel TDBCtrlPanel"},
    {"ThirdTreeViews", "TTreeView TRzTreeView TDBTreeView"},
    {"ThirdWWEdits", "TDBLookupComboBox TwwDBComboBox TwwDBCustomCombo TwwDBCustomLookupCombo"},
    {"ThirdGridEh", "TDBGridEh"},
    {"ThirdVirtualTrees",
     "TVirtualStringTree TVirtualStringTreeDB TEasyListview TVirtualExplorerListview "
     "TVirtualExplorerTreeview TVirtualExplorerTree TVirtualDrawTree"},
    {"ThirdPageControl", "TPageControl"},
    {"ThirdTabControl", "TTabControl"},
    {"ThirdToolBar", "TToolBar"},
    {"ThirdStatusBar", "TStatusBar"},
};

std::string Join(const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i) text += "\r\n";
    text += names[i];
  }
  return text;
}

}  // namespace

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
    pos = end + 1;
  }
  return lines;
}

std::string ThirdPartyList::DefaultText(int index) {
  if (index < 0 || index >= ThirdPartyListCount) return {};
  std::vector<std::string> names;
  std::string all = Defaults[index].Classes;
  std::size_t pos = 0;
  while (pos < all.size()) {
    std::size_t end = all.find(' ', pos);
    if (end == std::string::npos) end = all.size();
    names.push_back(all.substr(pos, end - pos));
    pos = end + 1;
  }
  return Join(names);
}

const char* ThirdPartyList::PropertyName(int index) {
  if (index < 0 || index >= ThirdPartyListCount) return "";
  return Defaults[index].Property;
}

void ThirdPartyList::SetDefaults() {
  for (int i = 0; i < ThirdPartyListCount; ++i) Lists[std::size_t(i)] = DefaultText(i);
}

void FillClassLists(ThirdPartyList& props, TsClassLists& lists, bool reset) {
  for (int i = 0; i < ThirdPartyListCount; ++i) {
    std::string& text = props.Lists[std::size_t(i)];
    if (reset || SplitLines(text).empty()) text = ThirdPartyList::DefaultText(i);
    lists[std::size_t(i)] = SplitLines(text);
  }
}

void ReadBackClassLists(const TsClassLists& lists, ThirdPartyList& props) {
  for (int i = 0; i < ThirdPartyListCount; ++i)
    props.Lists[std::size_t(i)] = Join(lists[std::size_t(i)]);
}

}  // namespace vm
