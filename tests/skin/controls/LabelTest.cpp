// Skinned labels on a form: the plain look without a skin, the skin's global
// font colour, sections behind the text, the disabled mix, UseSkinColor, and
// a skin switched and removed at run time.
#include "platform/gfx/SysColors.h"
#include "skin/controls/Label.h"
#include "skin/frame/CtrlAdapter.h"
#include "skin/paint/pixels/Colors.h"
#include "tests/skin/controls/ControlsTestSupport.h"

namespace vm::test {
namespace {

// A label that counts its paintings.
class TCountingLabel : public TsLabel {
 public:
  explicit TCountingLabel(TComponent* owner) : TsLabel(owner) {}
  int Paints = 0;

 protected:
  void Paint() override {
    ++Paints;
    TsLabel::Paint();
  }
};

class TCountingCustomLabel : public TsCustomLabel {
 public:
  explicit TCountingCustomLabel(TComponent* owner) : TsCustomLabel(owner) {}
  int Paints = 0;

 protected:
  void Paint() override {
    ++Paints;
    TsCustomLabel::Paint();
  }
};

constexpr TColor Black = RGB(0, 0, 0);
constexpr TColor DarkRed = RGB(160, 0, 0);
constexpr TColor BuiltinFont = RGB(59, 90, 130);  // the built-in skin's 8542779

class Labels : public TControlsTest {
 protected:
  template <class T>
  T* Put(const std::string& name, int top, const std::string& caption) {
    auto* l = Create<T>(form);
    l->SetName(name);
    l->SetParent(form);
    l->SetBounds(6, top, 10, 10);
    l->Font()->SetName("Tahoma");
    l->Font()->SetHeight(-13);
    l->Font()->SetStyle(tk::fsBold);
    l->Font()->SetColor(clWindowText);
    l->SetCaption(caption);
    return l;
  }
  // The form of every test: one label of each kind.
  void MakeLabels() {
    form = MakeForm(190, 160);
    plain = Put<TCountingLabel>("Plain", 4, "Размер: 120 КБ");
    disabled = Put<TCountingLabel>("Disabled", 24, "Недоступно");
    disabled->SetEnabled(false);
    own = Put<TCountingLabel>("Own", 44, "Свой цвет");
    own->Font()->SetColor(DarkRed);
    own->SetUseSkinColor(false);
    panel = Put<TCountingLabel>("Panel", 64, "На панели");
    panel->SetAutoSize(false);
    panel->SetBounds(6, 64, 150, 22);
    panel->SetLayout(tlCenter);
    panel->SetAlignment(taCenter);
    panel->SetSkinSection("panel");
    missing = Put<TCountingLabel>("Missing", 92, "Нет секции");
    missing->SetSkinSection("NOSUCHSECTION");
    custom = Put<TCountingCustomLabel>("Custom", 112, "Всегда цвет скина");
    custom->Font()->SetColor(DarkRed);
    disabledPanel = Put<TCountingLabel>("DisabledPanel", 132, "Недоступно");
    disabledPanel->SetAutoSize(false);
    disabledPanel->SetBounds(6, 132, 150, 22);
    disabledPanel->SetLayout(tlCenter);
    disabledPanel->SetSkinSection("PANEL");
    disabledPanel->SetEnabled(false);
  }
  std::vector<TControl*> All() const {
    return {plain, disabled, own, panel, missing, custom, disabledPanel};
  }
  std::vector<int> PaintCounts() const {
    return {plain->Paints,   disabled->Paints, own->Paints,          panel->Paints,
            missing->Paints, custom->Paints,   disabledPanel->Paints};
  }
  static int Of(const TBitmap& shot, TControl* c, TColor colour) {
    return CountColour(shot, c->BoundsRect(), colour);
  }

  TForm* form = nullptr;
  TCountingLabel *plain = nullptr, *disabled = nullptr, *own = nullptr, *panel = nullptr,
                 *missing = nullptr, *disabledPanel = nullptr;
  TCountingCustomLabel* custom = nullptr;
};

TEST_F(Labels, WithoutASkinTheyLookLikePlainLabels) {
  MakeLabels();
  EXPECT_TRUE(plain->Transparent());
  EXPECT_TRUE(plain->UseSkinColor());
  const TBitmap shot = Shot(form);
  CompareGolden("labels-plain", shot);
  const TColor face = GetSysColor(COLOR_BTNFACE);
  EXPECT_GT(Of(shot, plain, Black), 10);
  // Disabled: the engraved look, shadow over highlight.
  EXPECT_GT(Of(shot, disabled, GetSysColor(COLOR_BTNSHADOW)), 10);
  EXPECT_GT(Of(shot, disabled, GetSysColor(COLOR_BTNHIGHLIGHT)), 10);
  EXPECT_GT(Of(shot, own, DarkRed), 10);
  EXPECT_GT(Of(shot, custom, DarkRed), 10);
  // No section behind the text: the form shows through around it.
  EXPECT_EQ(shot.GetPixel(panel->Left() + 1, panel->Top() + 1), face);
  EXPECT_EQ(plain->Font()->Color(), clWindowText);
}

TEST_F(Labels, UnderSkinsSwitchedAtRunTimeEveryLabelRepaints) {
  MakeLabels();
  Shot(form);
  TsSkinManager& m = LoadBuiltinSkin();
  const std::vector<int> before = PaintCounts();
  const TBitmap builtin = Shot(form);
  CompareGolden("labels-builtin", builtin);
  for (std::size_t i = 0; i < before.size(); ++i)
    EXPECT_GT(PaintCounts()[i], before[i]) << All()[i]->Name();

  const TColor face = ColorToRGB(form->Color());
  // The skin's global font colour, except where UseSkinColor is off.
  EXPECT_GT(Of(builtin, plain, BuiltinFont), 10);
  EXPECT_EQ(Of(builtin, plain, Black), 0);
  EXPECT_GT(Of(builtin, own, DarkRed), 10);
  EXPECT_EQ(Of(builtin, own, BuiltinFont), 0);
  EXPECT_GT(Of(builtin, custom, BuiltinFont), 10);
  // Disabled under a skin: 60 percent of the way from the font colour toward
  // the colour behind the label, drawn once (no engraving).
  const TColor dimmed = MixColors(BuiltinFont, face, 0.4);
  EXPECT_GT(Of(builtin, disabled, dimmed), 10);
  EXPECT_EQ(Of(builtin, disabled, GetSysColor(COLOR_BTNHIGHLIGHT)), 0);
  // The section behind the text: its gradient starts light at the top.
  EXPECT_EQ(builtin.GetPixel(panel->Left() + 75, panel->Top() + 2),
            builtin.GetPixel(panel->Left() + 20, panel->Top() + 2));
  EXPECT_NE(builtin.GetPixel(panel->Left() + 20, panel->Top() + 2), face);
  EXPECT_NE(builtin.GetPixel(panel->Left() + 20, panel->Top() + 2), Black);
  // A section the skin lacks: the plain look, form colour behind the text.
  EXPECT_EQ(builtin.GetPixel(missing->Left() + 1, missing->Top() + 1), face);
  EXPECT_GT(Of(builtin, missing, BuiltinFont), 10);

  // The recoloured copy, switched to at run time.
  WriteRecolouredSkin();
  const std::vector<int> beforeSwitch = PaintCounts();
  m.SetSkinName(RecolouredSkin);
  ASSERT_TRUE(m.SkinData.Active);
  const TBitmap recoloured = Shot(form);
  CompareGolden("labels-recoloured", recoloured);
  for (std::size_t i = 0; i < before.size(); ++i)
    EXPECT_GT(PaintCounts()[i], beforeSwitch[i]) << All()[i]->Name();
  EXPECT_GT(Of(recoloured, plain, RecolouredFont), 10);
  EXPECT_EQ(Of(recoloured, plain, BuiltinFont), 0);
  EXPECT_GT(Of(recoloured, own, DarkRed), 10);
  EXPECT_GT(Of(recoloured, disabled, MixColors(RecolouredFont, face, 0.4)), 10);
  EXPECT_EQ(recoloured.GetPixel(panel->Left() + 20, panel->Top() + 11), RecolouredFace);

  // Back to the built-in skin: the same picture as before.
  m.SetSkinName(BuiltinSkinName);
  CompareGolden("labels-builtin", Shot(form));

  // The skin removed: the labels that follow the skin take the window-text
  // colour, the one with its own colour keeps it, and no section is painted.
  const std::vector<int> beforeOff = PaintCounts();
  m.SetActive(false);
  const TBitmap off = Shot(form);
  for (std::size_t i = 0; i < before.size(); ++i)
    EXPECT_GT(PaintCounts()[i], beforeOff[i]) << All()[i]->Name();
  EXPECT_EQ(plain->Font()->Color(), clWindowText);
  EXPECT_GT(Of(off, plain, Black), 10);
  EXPECT_EQ(own->Font()->Color(), DarkRed);
  EXPECT_GT(Of(off, own, DarkRed), 10);
  EXPECT_EQ(custom->Font()->Color(), clWindowText);
  EXPECT_GT(Of(off, disabled, GetSysColor(COLOR_BTNHIGHLIGHT)), 10);
  EXPECT_EQ(off.GetPixel(panel->Left() + 1, panel->Top() + 1), face);
}

TEST_F(Labels, PaintingUnderASkinKeepsTheParentsFontAndTheSize) {
  form = MakeForm(120, 40);
  auto* l = Create<TsLabel>(form);
  l->SetParent(form);
  l->SetCaption("Метка");
  ASSERT_TRUE(l->ParentFont());
  LoadBuiltinSkin();
  Shot(form);
  const int width = l->Width();
  EXPECT_EQ(ColorToRGB(l->Font()->Color()), BuiltinFont);
  // Taking the skin's colour does not end the use of the parent's font.
  EXPECT_TRUE(l->ParentFont());
  form->Font()->SetHeight(-20);
  EXPECT_EQ(l->Font()->Height(), -20);
  EXPECT_GT(l->Width(), width);
  // And writing the colour while painting did not schedule another painting.
  Shot(form);
  EXPECT_FALSE(GetUpdateRect(form->Handle(), nullptr, false));
}

TEST_F(Labels, SectionAndUseSkinColorChangesRepaint) {
  MakeLabels();
  LoadBuiltinSkin();
  Shot(form);
  int n = plain->Paints;
  plain->SetSkinSection("PANEL");
  Shot(form);
  EXPECT_GT(plain->Paints, n);
  n = plain->Paints;
  plain->SetSkinSection("PANEL");  // the same text: nothing to do
  Shot(form);
  EXPECT_EQ(plain->Paints, n);
  own->Font()->SetColor(DarkRed);
  n = own->Paints;
  own->SetUseSkinColor(true);
  const TBitmap shot = Shot(form);
  EXPECT_GT(own->Paints, n);
  EXPECT_GT(Of(shot, own, BuiltinFont), 10);
  // The empty caption keeps a line's height.
  auto* empty = Create<TsLabel>(form);
  empty->SetParent(form);
  empty->SetCaption("&");
  EXPECT_GT(empty->Height(), 5);
  EXPECT_GT(empty->Width(), 0);
}

// The form's control adapter recolours only the platform's labels: the
// engine's labels answer command 7 and keep their own colours and looks,
// also a label that does not follow the skin's colour.
TEST_F(Labels, ControlAdapterLeavesTheEnginesLabelsAlone) {
  MakeLabels();
  LoadBuiltinSkin();
  auto* platform = new TLabel(form);
  platform->SetParent(form);
  platform->SetCaption("Обычная");
  platform->Font()->SetColor(DarkRed);
  auto adapter = std::make_unique<TnxCtrlAdapter>(form);
  adapter->AddAllItems();
  EXPECT_EQ(own->Font()->Color(), DarkRed);
  EXPECT_FALSE(own->UseSkinColor());
  EXPECT_EQ(plain->Font()->Color(), clWindowText);
  EXPECT_EQ(custom->Font()->Color(), DarkRed);
  // A label of the platform is made transparent and takes the skin's colour.
  EXPECT_TRUE(platform->Transparent());
  EXPECT_EQ(platform->Font()->Color(), manager->GlobalFontColor());
  // The own-coloured label paints its stored colour under the skin.
  EXPECT_GT(Of(Shot(form), own, DarkRed), 10);
}

}  // namespace
}  // namespace vm::test
