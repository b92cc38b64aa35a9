// Bound labels: made, placed, wrapped and freed with their control.
#include "skin/controls/BoundLabel.h"
#include "skin/controls/EditLabel.h"
#include "skin/state/CommonData.h"
#include "tests/skin/controls/ControlsTestSupport.h"
#include "toolkit/CustomControl.h"

namespace vm::test {
namespace {

// An edit-like skinned control with a caption label.
class TCaptioned : public TCustomControl {
 public:
  explicit TCaptioned(TComponent* owner)
      : TCustomControl(owner), SkinData(this, true), BoundLabel(&SkinData) {
    SkinData.ControlType = 97;
  }
  TsCommonData SkinData;
  TsBoundLabel BoundLabel;
};

class BoundLabels : public TControlsTest {
 protected:
  TCaptioned* Edit(const std::string& name, int x, int y, int w, int h) {
    auto* c = Create<TCaptioned>(form);
    c->SetName(name);
    c->SetParent(form);
    c->SetBounds(x, y, w, h);
    return c;
  }
  void SetUp() override {
    TControlsTest::SetUp();
    form = MakeForm(300, 200);
  }
  TForm* form = nullptr;
};

TEST_F(BoundLabels, ActivatingMakesANamedLabelBesideTheControl) {
  TCaptioned* c = Edit("sSpinEdit1", 112, 17, 71, 21);
  EXPECT_EQ(c->BoundLabel.Label(), nullptr);
  EXPECT_TRUE(c->BoundLabel.UseSkinColor());
  c->SetEnabled(false);
  c->BoundLabel.SetActive(true);
  TsEditLabel* l = c->BoundLabel.Label();
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->Name(), "sSpinEdit1Label");
  EXPECT_EQ(l->Owner(), c);
  EXPECT_EQ(l->Parent(), form);
  EXPECT_EQ(l->FocusControl(), c);
  EXPECT_EQ(l->BoundLabel(), &c->BoundLabel);
  // Without a caption the control's name is shown.
  EXPECT_EQ(l->Caption(), "sSpinEdit1");
  EXPECT_TRUE(l->Visible());
  EXPECT_FALSE(l->Enabled());
  EXPECT_EQ(l->Alignment(), taRightJustify);

  // sclLeft: right edge 4 pixels before the control, centred a pixel high.
  c->BoundLabel.SetCaption("Длина:");
  const int w = l->Width(), h = l->Height();
  EXPECT_EQ(l->Left(), 112 - w - 4);
  EXPECT_EQ(l->Top(), 17 + (21 - h) / 2 - 1);
  c->BoundLabel.SetIndent(6);
  EXPECT_EQ(l->Left(), 112 - w - 6 - 4);
  EXPECT_EQ(l->Top(), 17 + (21 - h) / 2 - 1);

  c->BoundLabel.SetLayout(sclTopLeft);
  EXPECT_EQ(l->Alignment(), taLeftJustify);
  EXPECT_EQ(l->BoundsRect(), Bounds(112, 17 - h - 6, w, h));
  c->BoundLabel.SetLayout(sclTopCenter);
  EXPECT_EQ(l->Alignment(), taCenter);
  EXPECT_EQ(l->Left(), 112 + (71 - w) / 2);
  EXPECT_EQ(l->Top(), 17 - h - 6);
  c->BoundLabel.SetLayout(sclTopRight);
  EXPECT_EQ(l->Alignment(), taRightJustify);
  EXPECT_EQ(l->Left(), 112 + 71 - w);

  // Deactivating frees the label.
  c->BoundLabel.SetActive(false);
  EXPECT_EQ(c->BoundLabel.Label(), nullptr);
  EXPECT_EQ(form->FindComponent("sSpinEdit1Label"), nullptr);
  EXPECT_EQ(c->FindComponent("sSpinEdit1Label"), nullptr);
}

TEST_F(BoundLabels, MaxWidthWrapsAndIsAtLeastAsHighAsTheControl) {
  TCaptioned* c = Edit("Edit1", 150, 60, 71, 21);
  c->BoundLabel.SetCaption("Очень длинная подпись поля");
  c->BoundLabel.SetActive(true);
  TsEditLabel* l = c->BoundLabel.Label();
  const int lineHeight = l->Height();
  c->BoundLabel.SetMaxWidth(50);
  EXPECT_FALSE(l->AutoSize());
  EXPECT_TRUE(l->WordWrap());
  EXPECT_EQ(l->Width(), 50);
  // Several lines: higher than one line and than the control.
  EXPECT_GT(l->Height(), lineHeight * 2);
  EXPECT_GE(l->Height(), c->Height());
  // The wrapped label's right edge stays beside the control.
  EXPECT_EQ(l->Left() + l->Width(), 150 - 4);
  EXPECT_EQ(l->Top(), 60 + (21 - l->Height()) / 2 - 1);
  // A short caption is still as high as its control.
  c->BoundLabel.SetCaption("Да");
  EXPECT_EQ(l->Height(), 21);
  // Back to one line.
  c->BoundLabel.SetMaxWidth(0);
  EXPECT_TRUE(l->AutoSize());
  EXPECT_FALSE(l->WordWrap());
  EXPECT_EQ(l->Height(), lineHeight);
}

TEST_F(BoundLabels, FontColourAndTheLabelsLifetime) {
  TCaptioned* c = Edit("Edit1", 150, 60, 71, 21);
  tk::TFont big;
  big.SetName("Tahoma");
  big.SetHeight(-20);
  // Written before activation: kept and given to the label when it is made.
  c->BoundLabel.SetFont(big);
  c->BoundLabel.SetUseSkinColor(false);  // no label: nothing to change
  EXPECT_TRUE(c->BoundLabel.UseSkinColor());
  c->BoundLabel.SetActive(true);
  TsEditLabel* l = c->BoundLabel.Label();
  EXPECT_EQ(l->Font()->Height(), -20);
  EXPECT_FALSE(l->ParentFont());
  EXPECT_EQ(c->BoundLabel.Font(), l->Font());
  const int height = l->Height();
  big.SetHeight(-11);
  c->BoundLabel.SetFont(big);
  EXPECT_LT(l->Height(), height);
  EXPECT_EQ(l->Top(), 60 + (21 - l->Height()) / 2 - 1);
  c->BoundLabel.SetUseSkinColor(false);
  EXPECT_FALSE(l->UseSkinColor());
  EXPECT_FALSE(c->BoundLabel.UseSkinColor());

  // A hidden label is not placed; the control's hidden state is taken at activation.
  c->BoundLabel.SetActive(false);
  c->Hide();
  c->BoundLabel.SetActive(true);
  l = c->BoundLabel.Label();
  EXPECT_FALSE(l->Visible());
  const TRect before = l->BoundsRect();
  c->BoundLabel.SetIndent(30);
  EXPECT_EQ(l->BoundsRect(), before);

  // Freeing the label on its own clears the bound label's reference.
  delete l;
  EXPECT_EQ(c->BoundLabel.Label(), nullptr);
  EXPECT_TRUE(c->BoundLabel.Active());
  // Freeing the control frees its label with it.
  c->BoundLabel.SetActive(false);
  c->Show();
  c->BoundLabel.SetActive(true);
  TControlRef label(c->BoundLabel.Label());
  ASSERT_TRUE(label);
  delete c;
  EXPECT_FALSE(label);
}

TEST_F(BoundLabels, ASecondLabelOfTheSameNameStaysUnnamed) {
  TCaptioned* c = Edit("Edit1", 150, 60, 71, 21);
  auto* other = Create<TsLabel>(c);
  other->SetName("Edit1Label");
  c->BoundLabel.SetActive(true);
  ASSERT_NE(c->BoundLabel.Label(), nullptr);
  EXPECT_EQ(c->BoundLabel.Label()->Name(), "");
  EXPECT_EQ(c->BoundLabel.Label()->Caption(), "Edit1");
}

}  // namespace
}  // namespace vm::test
