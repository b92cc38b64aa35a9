// The frame picture: what a skinned form looks like, its region, its looks
// when active and inactive, and the plain frame it gets back.
#include "tests/skin/frame/FrameTestSupport.h"

namespace vm::test {
namespace {

TEST_F(TFrameTest, ScratchShot) {
  LoadBuiltinSkin();
  TForm* f = MakeForm();
  TsSkinProvider* p = ProviderOf(f);
  ASSERT_NE(p, nullptr);
  SavePngFile("/tmp/frameshots/active.png", Shot(f));
}

}  // namespace
}  // namespace vm::test
