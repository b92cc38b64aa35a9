#include "tools/skingen/SkinDescription.h"

#include <map>
#include <stdexcept>
#include <utility>

namespace vm {

namespace {

using TKeys = std::vector<std::pair<std::string, std::string>>;

std::string C(int r, int g, int b) {
  return std::to_string(r + 256 * g + 65536 * b);
}

// One gradient band: start colour, end colour, share of the length, mode.
struct TBand {
  int R1, G1, B1, R2, G2, B2, Percent;
};

std::string Gradient(std::initializer_list<TBand> bands, int mode = 0) {
  std::string s;
  for (const TBand& b : bands) {
    if (!s.empty()) s += ';';
    s += C(b.R1, b.G1, b.B1) + ';' + C(b.R2, b.G2, b.B2) + ';' + std::to_string(b.Percent) + ';' +
         std::to_string(mode) + ";0";
  }
  return s;
}

const std::string Text = "8542779";  // dark slate blue of all ordinary text
const std::string Window = "16442322";
const std::string Light = "16511722";

// The usual keys of a section whose look is a colour or gradient, a border image and
// the ordinary text colours.
TKeys Plain(std::string color, std::string hotColor, int transparency, int hotTransparency,
            TKeys extra = {}) {
  TKeys k{{"COLOR", std::move(color)},
          {"HOTCOLOR", std::move(hotColor)},
          {"TRANSPARENCY", std::to_string(transparency)},
          {"HOTTRANSPARENCY", std::to_string(hotTransparency)},
          {"FONTCOLOR", Text},
          {"HOTFONTCOLOR", Text}};
  k.insert(k.end(), extra.begin(), extra.end());
  return k;
}

TKeys WithGradients(TKeys k, int percent, std::string grad, int hotPercent, std::string hotGrad) {
  k.push_back({"GRADIENTPERCENT", std::to_string(percent)});
  k.push_back({"GRADIENTDATA", std::move(grad)});
  k.push_back({"HOTGRADIENTPERCENT", std::to_string(hotPercent)});
  k.push_back({"HOTGRADIENTDATA", std::move(hotGrad)});
  return k;
}

TKeys Fading(TKeys k, int iterations) {
  k.push_back({"FADINGENABLED", "TRUE"});
  k.push_back({"FADINGITERATIONS", std::to_string(iterations)});
  return k;
}

// Light glossy blue of bars and panels, top to bottom.
const std::string BarGradient = Gradient({{227, 239, 255, 214, 232, 255, 45},
                                          {199, 222, 254, 205, 226, 255, 35},
                                          {205, 226, 255, 217, 233, 255, 20}});
const std::string HotBarGradient = Gradient({{255, 252, 235, 255, 240, 196, 45},
                                             {255, 220, 120, 255, 230, 150, 35},
                                             {255, 230, 150, 255, 242, 200, 20}});
const std::string PanelGradient = Gradient({{226, 238, 255, 210, 227, 250, 100}});

std::map<std::string, TKeys> SectionValues() {
  std::map<std::string, TKeys> v;
  v["GLOBALINFO"] = {{"VERSION", "5.43"},
                     {"AUTHOR", ""},
                     {"DESCRIPTION", ""},
                     {"MASTERBITMAP", "MASTER.BMP"},
                     {"SUID", "37"},
                     {"COLOR", Window},
                     {"HOTCOLOR", Light},
                     {"FONTCOLOR", Text},
                     {"HOTFONTCOLOR", Text},
                     {"TCLEFT", "16777215"},
                     {"BORDERCOLOR", "14598571"},
                     {"SHADOW1COLOR", "9528123"},
                     {"SHADOW1OFFSET", "1"},
                     {"SHADOW1BLUR", "4"},
                     {"SHADOW1TRANSPARENCY", "0"},
                     {"BISPACE", "1"}};
  v["DIVIDER"] = Plain(Window, Window, 100, 100);
  v["EDIT"] = Fading(
      Plain(Light, Light, 0, 0, {{"BORDERCOLOR1", "14598571"}, {"BORDERCOLOR2", "16777215"}}), 10);
  v["TABCONTROLBOTTOM"] = {{"PARENTCLASS", "PAGECONTROLBOTTOM"}};
  v["TABCONTROLLEFT"] = {{"PARENTCLASS", "PAGECONTROLLEFT"}};
  v["TABCONTROLRIGHT"] = {{"PARENTCLASS", "PAGECONTROLRIGHT"}};
  v["BARPANEL"] = WithGradients(Plain(Window, Window, 0, 0), 100, BarGradient, 100, BarGradient);
  for (const char* s : {"SCROLLBTNLEFT", "SCROLLBTNRIGHT", "SCROLLBTNTOP", "SCROLLBTNBOTTOM"})
    v[s] = Fading(Plain(Window, Light, 100, 100), 10);
  v["SCROLLSLIDERH"] = Fading(Plain(Window, Light, 100, 100), 10);
  v["SCROLLSLIDERV"] = Fading(Plain(Window, Light, 100, 100), 10);
  v["GAUGE"] = Plain("16250871", "16250871", 0, 0);
  v["TABCONTROL"] = WithGradients(
      Plain("16777215", "16777215", 0, 0), 100,
      "16777215;16777215;61;0;0;16777215;16184300;36;0;0;16184300;16184300;0;0;0", 100,
      "16777215;16777215;61;0;0;16777215;16184300;36;0;0;16184300;16184300;0;0;0");
  v["ICOLINE"] = WithGradients(Plain(C(233, 238, 246), C(233, 238, 246), 0, 0), 100,
                               Gradient({{246, 249, 253, 226, 234, 245, 100}}, 1), 100,
                               Gradient({{246, 249, 253, 226, 234, 245, 100}}, 1));
  v["EXTRALINE"] = WithGradients(Plain(C(101, 147, 207), C(101, 147, 207), 0, 0), 100,
                                 Gradient({{59, 97, 156, 120, 163, 222, 100}}), 100,
                                 Gradient({{59, 97, 156, 120, 163, 222, 100}}));
  v["EXTRALINE"][4].second = "16777215";
  v["EXTRALINE"][5].second = "16777215";
  v["HINT"] = WithGradients(Plain(C(248, 248, 252), C(248, 248, 252), 0, 0,
                                  {{"SHADOWENABLED", "TRUE"},
                                   {"SHADOWCOLOR", "0"},
                                   {"SHADOWOFFSET", "3"},
                                   {"SHADOWBLUR", "4"},
                                   {"SHADOWTRANSPARENCY", "70"}}),
                            100, Gradient({{255, 255, 255, 228, 229, 240, 100}}), 100,
                            Gradient({{255, 255, 255, 228, 229, 240, 100}}));
  v["HINT"][4].second = "5000268";
  v["HINT"][5].second = "5000268";
  v["MENULINE"] = WithGradients(
      Plain(C(214, 232, 255), C(214, 232, 255), 0, 0), 100,
      Gradient({{227, 239, 255, 214, 232, 255, 60}, {214, 232, 255, 207, 227, 253, 40}}), 100,
      Gradient({{227, 239, 255, 214, 232, 255, 60}, {214, 232, 255, 207, 227, 253, 40}}));
  v["FORMTITLE"] = {{"COLOR", C(214, 229, 250)},
                    {"HOTCOLOR", C(206, 224, 248)},
                    {"TRANSPARENCY", "0"},
                    {"HOTTRANSPARENCY", "0"},
                    {"GRADIENTPERCENT", "100"},
                    {"GRADIENTDATA", Gradient({{238, 243, 250, 229, 236, 246, 35},
                                               {229, 236, 246, 221, 229, 242, 15},
                                               {212, 221, 236, 217, 226, 240, 25},
                                               {217, 226, 240, 226, 233, 245, 15},
                                               {226, 233, 245, 233, 239, 248, 10}})},
                    {"HOTGRADIENTPERCENT", "100"},
                    {"HOTGRADIENTDATA", Gradient({{227, 239, 255, 212, 229, 253, 35},
                                                  {212, 229, 253, 196, 218, 250, 15},
                                                  {178, 205, 244, 186, 212, 248, 25},
                                                  {186, 212, 248, 199, 222, 251, 15},
                                                  {199, 222, 251, 212, 231, 253, 10}})},
                    {"FONTCOLOR", "10852487"},
                    {"HOTFONTCOLOR", "7228729"},
                    {"HOTTCBOTTOM", "16511722"},
                    {"IMAGEPERCENT", "0"},
                    {"HOTIMAGEPERCENT", "0"}};
  v["MAINMENU"] = {{"COLOR", "16448250"},
                   {"HOTCOLOR", "16184300"},
                   {"TRANSPARENCY", "0"},
                   {"HOTTRANSPARENCY", "0"},
                   {"GRADIENTPERCENT", "100"},
                   {"GRADIENTDATA", "16448250;16448250;50;0;0;16448250;16448250;50;0;0"},
                   {"FONTCOLOR", Text},
                   {"HOTFONTCOLOR", Text}};
  v["PANEL"] = WithGradients(Plain(Window, Window, 0, 0), 100, PanelGradient, 100, PanelGradient);
  v["GROUPBOX"] = Plain(Window, Window, 100, 100);
  v["COMBOBOX"] = Fading(Plain("16777215", "16777215", 0, 0), 10);
  v["PANEL_LOW"] = Plain(Light, Light, 0, 0);
  const std::string statusGradient = Gradient({{231, 240, 253, 222, 234, 251, 30},
                                               {222, 234, 251, 212, 227, 248, 20},
                                               {203, 220, 245, 199, 217, 244, 20},
                                               {199, 217, 244, 206, 222, 246, 20},
                                               {206, 222, 246, 214, 228, 248, 10}});
  // The bar looks the same whatever its state.
  v["STATUSBAR"] = {{"COLOR", C(214, 228, 248)},
                    {"HOTCOLOR", C(214, 228, 248)},
                    {"TRANSPARENCY", "0"},
                    {"GRADIENTPERCENT", "100"},
                    {"GRADIENTDATA", statusGradient},
                    {"HOTGRADIENTPERCENT", "100"},
                    {"HOTGRADIENTDATA", statusGradient},
                    {"FONTCOLOR", Text},
                    {"HOTFONTCOLOR", Text}};
  v["COMBOBTN"] = Fading(Plain(Window, Light, 100, 100), 10);
  v["DIALOG"] = {{"COLOR", Window},        {"HOTCOLOR", Window},       {"FONTCOLOR", Text},
                 {"HOTFONTCOLOR", Text},   {"TRANSPARENCY", "0"},      {"IMAGEPERCENT", "0"},
                 {"HOTIMAGEPERCENT", "0"}, {"RESERVEDBOOLEAN", "TRUE"}};
  v["FORM"] = v["DIALOG"];
  v["MENUITEM"] = {{"COLOR", "15791348"},
                   {"HOTCOLOR", C(255, 231, 162)},
                   {"TRANSPARENCY", "100"},
                   {"HOTTRANSPARENCY", "0"},
                   {"GRADIENTPERCENT", "0"},
                   {"HOTGRADIENTPERCENT", "100"},
                   {"HOTGRADIENTDATA", Gradient({{255, 251, 227, 255, 241, 194, 45},
                                                 {255, 217, 110, 255, 224, 132, 25},
                                                 {255, 224, 132, 255, 233, 164, 20},
                                                 {255, 233, 164, 255, 241, 196, 10}})},
                   {"FADINGENABLED", "FALSE"},
                   {"FONTCOLOR", "5059883"},
                   {"HOTFONTCOLOR", "149612"}};
  for (const char* s : {"SCROLLBAR1V", "SCROLLBAR2V", "SCROLLBAR1H", "SCROLLBAR2H"})
    v[s] = Plain(C(227, 236, 249), C(196, 213, 238), 0, 0);
  v["SPLITTER"] = Plain(C(214, 229, 250), C(255, 231, 162), 0, 0);
  v["PROGRESSH"] = Plain(C(120, 200, 95), C(120, 200, 95), 0, 0);
  v["PROGRESSV"] = Plain(C(120, 200, 95), C(120, 200, 95), 0, 0);
  v["NIRVEXCOMBOBOX"] = Fading(Plain("16777215", "16777215", 0, 0), 10);
  v["NIRVEXEDIT"] = Fading(Plain(Light, "16777215", 0, 0), 10);
  v["BUTTON_HUGE"] = Fading(Plain(Window, Light, 100, 100, {{"SHOWFOCUS", "TRUE"}}), 20);
  v["PAGECONTROL"] = WithGradients(Plain("16777215", "16777215", 0, 0), 100,
                                   Gradient({{255, 255, 255, 236, 243, 252, 100}}), 100,
                                   Gradient({{255, 255, 255, 236, 243, 252, 100}}));
  v["BARTITLE"] = Plain(C(191, 219, 255), C(191, 219, 255), 100, 100);
  v["BUTTON"] = {
      {"TRANSPARENCY", "100"},     {"HOTTRANSPARENCY", "100"}, {"GRADIENTPERCENT", "0"},
      {"HOTGRADIENTPERCENT", "0"}, {"FADINGENABLED", "TRUE"},  {"FADINGITERATIONS", "20"},
      {"FONTCOLOR", Text},         {"HOTFONTCOLOR", Text},     {"SHOWFOCUS", "TRUE"}};
  v["BUTTON_BIG"] = v["BUTTON"];
  v["RADIOBUTTON"] = Plain(Window, Window, 100, 100);
  v["SPEEDBUTTON"] = Fading(Plain(Window, Light, 100, 100), 20);
  v["SPEEDBUTTON_SMALL"] = Fading(Plain(Window, Light, 100, 100), 10);
  v["TOOLBUTTON"] = Fading(Plain(Window, Light, 100, 100), 20);
  v["TRACKBAR"] = {{"COLOR", "15791348"},      {"HOTCOLOR", "16777215"},  {"TRANSPARENCY", "100"},
                   {"HOTTRANSPARENCY", "100"}, {"FONTCOLOR", Text},       {"HOTFONTCOLOR", Text},
                   {"FADINGENABLED", "TRUE"},  {"FADINGITERATIONS", "20"}};
  v["WEBBUTTON"] = Fading(Plain(Window, Light, 100, 100), 20);
  v["WEBBUTTON"][4].second = C(21, 66, 139);
  v["WEBBUTTON"][5].second = C(200, 110, 0);
  v["COLHEADER"] = Fading(Plain("16777215", Light, 0, 0), 10);
  v["GRIPH"] = Plain(C(214, 229, 250), C(214, 229, 250), 0, 0);
  v["TOOLBAR"] = WithGradients(Plain(C(214, 232, 255), C(214, 232, 255), 0, 0), 100, BarGradient,
                               100, BarGradient);
  v["TOOLBAR"].push_back({"+GRADIENTDATA", BarGradient});
  for (const char* s : {"TABTOP", "TABRIGHT", "TABLEFT", "TABBOTTOM"})
    v[s] = Fading(Plain(C(227, 238, 253), "16777215", 100, 100), 10);
  for (const char* s : {"PAGECONTROLBOTTOM", "PAGECONTROLLEFT", "PAGECONTROLRIGHT"})
    v[s] = v["PAGECONTROL"];
  v["CHECKBOX"] = Plain(Window, Window, 100, 100);
  v["BAR"] = WithGradients(Plain(C(214, 232, 255), C(214, 232, 255), 0, 0), 100, BarGradient, 100,
                           HotBarGradient);
  v["DRAGBAR"] = WithGradients(Plain(C(191, 219, 255), C(191, 219, 255), 0, 0), 100,
                               Gradient({{227, 239, 255, 175, 210, 255, 100}}), 100,
                               Gradient({{227, 239, 255, 175, 210, 255, 100}}));
  v["UPDOWNBTN"] = Fading(Plain(Window, Light, 100, 100), 10);
  return v;
}

}  // namespace

const std::vector<std::string>& SkinSectionOrder() {
  static const std::vector<std::string> order{"GLOBALINFO",
                                              "DIVIDER",
                                              "EDIT",
                                              "TABCONTROLBOTTOM",
                                              "TABCONTROLLEFT",
                                              "TABCONTROLRIGHT",
                                              "BARPANEL",
                                              "SCROLLBTNLEFT",
                                              "SCROLLBTNRIGHT",
                                              "SCROLLBTNTOP",
                                              "SCROLLBTNBOTTOM",
                                              "SCROLLSLIDERH",
                                              "SCROLLSLIDERV",
                                              "GAUGE",
                                              "TABCONTROL",
                                              "ICOLINE",
                                              "EXTRALINE",
                                              "HINT",
                                              "MENULINE",
                                              "FORMTITLE",
                                              "MAINMENU",
                                              "PANEL",
                                              "GROUPBOX",
                                              "COMBOBOX",
                                              "PANEL_LOW",
                                              "STATUSBAR",
                                              "COMBOBTN",
                                              "DIALOG",
                                              "MENUITEM",
                                              "SCROLLBAR1V",
                                              "SCROLLBAR2V",
                                              "SCROLLBAR1H",
                                              "SCROLLBAR2H",
                                              "SPLITTER",
                                              "PROGRESSH",
                                              "PROGRESSV",
                                              "NIRVEXCOMBOBOX",
                                              "NIRVEXEDIT",
                                              "BUTTON_HUGE",
                                              "PAGECONTROL",
                                              "BARTITLE",
                                              "BUTTON",
                                              "BUTTON_BIG",
                                              "RADIOBUTTON",
                                              "SPEEDBUTTON",
                                              "SPEEDBUTTON_SMALL",
                                              "TOOLBUTTON",
                                              "TRACKBAR",
                                              "WEBBUTTON",
                                              "COLHEADER",
                                              "GRIPH",
                                              "TOOLBAR",
                                              "TABTOP",
                                              "TABRIGHT",
                                              "TABLEFT",
                                              "TABBOTTOM",
                                              "PAGECONTROLBOTTOM",
                                              "PAGECONTROLLEFT",
                                              "PAGECONTROLRIGHT",
                                              "FORM",
                                              "CHECKBOX",
                                              "BAR",
                                              "DRAGBAR",
                                              "UPDOWNBTN"};
  return order;
}

std::string BuildDescription(const TSkinLayout& layout) {
  const auto values = SectionValues();
  std::string out;
  bool first = true;
  for (const std::string& section : SkinSectionOrder()) {
    auto it = values.find(section);
    if (it == values.end()) throw std::logic_error("skin description: no values for " + section);
    if (!first) out += "\r\n";
    first = false;
    out += "[" + section + "]\r\n";
    for (const auto& [key, value] : it->second) out += key + "=" + value + "\r\n";
    for (const TSkinMaskDef* m : layout.SectionMasks(section))
      out += m->Key + "=" + layout.MaskString(*m) + "\r\n";
    if (section == "BUTTON_HUGE")
      out += "BORDERSMASK=!BUTTONHUGE.BMP!3!1!0!0047!0047!0047!0047\r\n";
  }
  return out;
}

}  // namespace vm
