// The control adapter with the subclasses this layer registers: the dialog's
// OK and Cancel buttons become skinned push buttons, and freeing the adapter
// gives them their own look back.
#include "skin/frame/CtrlAdapter.h"
#include "skin/subclass/AdapterKinds.h"
#include "tests/skin/subclass/SubclassTestSupport.h"

namespace vm::test {
namespace {

class AdaptedButtons : public TSubclassTest {
 protected:
  void TearDown() override {
    for (TThirdPartyKind k : {tpButton, tpEdit, tpComboBox, tpListView})
      RegisterAdapterSubclass(k, nullptr);
    TSubclassTest::TearDown();
  }
};

TEST_F(AdaptedButtons, TheDialogsButtonsArePaintedByThePushButtonSubclass) {
  RegisterAdapterSubclasses();
  EXPECT_TRUE(HasAdapterSubclass(tpButton));
  EXPECT_TRUE(HasAdapterSubclass(tpEdit));
  // The buttons alone here: the edit keeps the platform's look.
  RegisterAdapterSubclass(tpEdit, nullptr);
  MakeDialog();
  host.MouseMove(4, 4);
  const TBitmap plain = Shot(dialog);
  {
    TnxCtrlAdapter adapter(dialog);
    adapter.OnSkinItem = [](TComponent*, bool&, std::string& section) { section = "EDIT"; };
    adapter.AddAllItems();
    ASSERT_EQ(adapter.ItemCount(), 2);
    for (TButton* b : {ok, cancel}) {
      TnxMainWnd* wnd = SubclassOf(b->Handle());
      ASSERT_NE(dynamic_cast<TnxBtnWnd*>(wnd), nullptr) << b->Name();
      EXPECT_EQ(wnd->SkinData(), adapter.ItemOf(b)->SkinData());
      EXPECT_EQ(wnd->SkinData()->SkinSection(), "BUTTON");
    }
    EXPECT_EQ(adapter.ItemOf(edit), nullptr);
    // The same look as the buttons subclassed by hand.
    CompareSubclassGolden("normal", Shot(dialog));
    // A refresh relayed from the form repaints them from the skin.
    adapter.SendCommand(MakeSkinCommand(CmdRefresh), reinterpret_cast<LPARAM>(manager.get()));
    CompareSubclassGolden("normal", Shot(dialog));
  }
  EXPECT_EQ(SubclassOf(ok->Handle()), nullptr);
  EXPECT_EQ(SubclassOf(cancel->Handle()), nullptr);
  ok->Invalidate();
  cancel->Invalidate();
  EXPECT_TRUE(SamePicture(Shot(dialog), plain));
}

}  // namespace
}  // namespace vm::test
