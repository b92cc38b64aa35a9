#include "app/MainEdits.h"

#include <sys/stat.h>

#include "app/SafeFile.h"
#include "app/Values.h"
#include "platform/base/Exceptions.h"
#include "tests/app/AppTestSupport.h"

namespace vm::app {
namespace {

using test::Quote;
using test::ReadAll;
using test::Shell;
using test::TScratch;
using test::WriteAll;

// A deterministic colourful picture of the given size, made by ImageMagick.
void MakePicture(const std::string& path, int w, int h, const std::string& extra = "") {
  Shell("/usr/bin/convert -size " + std::to_string(w) + "x" + std::to_string(h) +
        " gradient:'#d03020'-'#2040e0' \\( -size " + std::to_string(w) + "x" + std::to_string(h) +
        " pattern:checkerboard \\) -compose multiply -composite " + extra + " -quality 85 " +
        Quote(path));
}

// djpeg writes grey files as PGM unless asked for colour, and cannot be asked
// for colour from CMYK files (it converts those to RGB by itself).
std::vector<std::uint8_t> ReferenceRecompress(const std::string& file, int quality,
                                              const std::string& out, bool cmyk = false) {
  Shell(std::string(cmyk ? "djpeg -ppm " : "djpeg -rgb -ppm ") + Quote(file) +
        " | cjpeg -quality " + std::to_string(quality) + " -baseline > " + Quote(out));
  return ReadAll(out);
}

std::vector<std::uint8_t> ReferenceResize(const std::string& shown, int w, int h,
                                          const std::string& out) {
  Shell("djpeg -rgb -ppm " + Quote(shown) + " | /usr/bin/convert - -sample " + std::to_string(w) +
        "x" + std::to_string(h) + "! ppm:- | cjpeg -quality 90 -baseline > " + Quote(out));
  return ReadAll(out);
}

class PendingEdits : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCreationDefaults(dir_.Path());
    Modified = false;
    ASSERT_EQ(mkdir(WorkDir.c_str(), 0755), 0);
  }
  std::string File(const std::string& name) const { return dir_.Path() + name; }

  TScratch dir_;
  TShownPicture view_;
};

TEST_F(PendingEdits, RecompressionMatchesTheReferenceEncoderAtEveryQuality) {
  MakePicture(File("in.jpg"), 203, 157);
  for (int q : {1, 50, 75, 90, 100}) {
    view_.LoadFromFile(File("in.jpg"));
    Quality = q;
    PendingQuality = true;
    RunPendingEdits(view_);
    EXPECT_FALSE(PendingQuality);
    EXPECT_EQ(ReadAll(ResizeWritePath()), ReferenceRecompress(File("in.jpg"), q, File("ref.jpg")))
        << "quality " << q;
    EXPECT_EQ(view_.Data(), ReadAll(WorkCopyPath()));
  }
  // Quality 100 still re-encodes: the work copy is not the opened file.
  EXPECT_NE(ReadAll(WorkCopyPath()), ReadAll(File("in.jpg")));
}

TEST_F(PendingEdits, NothingPendingTouchesNoFile) {
  MakePicture(File("in.jpg"), 20, 10);
  view_.LoadFromFile(File("in.jpg"));
  RunPendingEdits(view_);
  EXPECT_EQ(EntrySize(WorkCopyPath()), -1);
  EXPECT_EQ(view_.Data(), ReadAll(File("in.jpg")));
}

TEST(ProportionalSize, ComparesTheRightSideAndRoundsHalfToEven) {
  EXPECT_EQ(ProportionalSize(3000, 4000, 1024, 768), (TPixelSize{768, 1024}));
  EXPECT_EQ(ProportionalSize(4000, 3000, 1024, 768), (TPixelSize{768, 576}));
  EXPECT_EQ(ProportionalSize(500, 500, 1024, 300), (TPixelSize{300, 300}));  // square: width
  EXPECT_EQ(ProportionalSize(10, 5, 0, 5), (TPixelSize{5, 2}));              // 2.5 -> 2
  EXPECT_EQ(ProportionalSize(10, 7, 0, 5), (TPixelSize{5, 4}));              // 3.5 -> 4
  EXPECT_EQ(ProportionalSize(100, 50, 0, 300), (TPixelSize{300, 150}));      // enlarged
  // A side that would vanish keeps one pixel.
  EXPECT_EQ(ProportionalSize(4000, 10, 1024, 10), (TPixelSize{10, 1}));
  EXPECT_EQ(ProportionalSize(10, 4000, 10, 1024), (TPixelSize{1, 10}));
  EXPECT_EQ(ProportionalSize(200, 100, 0, 0), (TPixelSize{1, 1}));
  EXPECT_EQ(ProportionalSize(200, 100, 0, -50), (TPixelSize{1, 1}));
  // Beyond what a bitmap can hold is refused, not attempted.
  EXPECT_THROW(ProportionalSize(1, 40000, 2147483647, 0), Exception);
  EXPECT_THROW(ProportionalSize(0, 0, 10, 10), Exception);
}

struct TResizeCase {
  int W, H, Length, Width;
};

TEST_F(PendingEdits, ResizeMatchesSampleAndTheReferenceEncoder) {
  // Exact halving (every centre a tie), squares, enlargement, odd ratios.
  for (TResizeCase c : {TResizeCase{1000, 750, 1024, 500},
                        {600, 600, 10, 250},
                        {37, 37, 10, 100},
                        {333, 97, 10, 128},
                        {97, 333, 200, 10},
                        {3, 2, 10, 7}}) {
    MakePicture(File("in.jpg"), c.W, c.H);
    view_.LoadFromFile(File("in.jpg"));
    RequestedLength = c.Length;
    RequestedWidth = c.Width;
    PendingResize = true;
    RunPendingEdits(view_);
    EXPECT_FALSE(PendingResize);
    TPixelSize size = ProportionalSize(c.W, c.H, c.Length, c.Width);
    EXPECT_EQ(ReadAll(WorkCopyPath()),
              ReferenceResize(File("in.jpg"), size.Width, size.Height, File("ref.jpg")))
        << c.W << "x" << c.H << " -> " << size.Width << "x" << size.Height;
    EXPECT_EQ(view_.ShownPixels().Width(), size.Width);
    EXPECT_EQ(view_.ShownPixels().Height(), size.Height);
  }
}

TEST_F(PendingEdits, LargePicturesTakeTheComparedSide) {
  for (auto [w, h, ew, eh] : {std::tuple{3000, 4000, 768, 1024}, {4000, 3000, 768, 576}}) {
    MakePicture(File("big.jpg"), w, h);
    view_.LoadFromFile(File("big.jpg"));
    RequestedLength = 1024;
    RequestedWidth = 768;
    PendingResize = true;
    RunPendingEdits(view_);
    EXPECT_EQ(ReadAll(WorkCopyPath()), ReferenceResize(File("big.jpg"), ew, eh, File("ref.jpg")));
    EXPECT_EQ(view_.ShownPixels().Width(), ew);
    EXPECT_EQ(view_.ShownPixels().Height(), eh);
  }
}

TEST_F(PendingEdits, QualityThenSizeRecompressesFirstAndResizesTheResult) {
  MakePicture(File("in.jpg"), 640, 480);
  view_.LoadFromFile(File("in.jpg"));
  Quality = 20;
  PendingQuality = true;
  RequestedWidth = 320;
  PendingResize = true;
  RunPendingEdits(view_);
  EXPECT_FALSE(PendingQuality);
  EXPECT_FALSE(PendingResize);
  ReferenceRecompress(File("in.jpg"), 20, File("q20.jpg"));
  EXPECT_EQ(ReadAll(WorkCopyPath()), ReferenceResize(File("q20.jpg"), 320, 240, File("ref.jpg")));
}

TEST_F(PendingEdits, AFailedEditStaysPendingAndSucceedsOnceTheFolderExists) {
  MakePicture(File("in.jpg"), 64, 48);
  view_.LoadFromFile(File("in.jpg"));
  ASSERT_EQ(rmdir(WorkDir.c_str()), 0);
  Quality = 50;
  PendingQuality = true;
  RequestedWidth = 32;
  PendingResize = true;
  EXPECT_THROW(RunPendingEdits(view_), Exception);
  EXPECT_TRUE(PendingQuality);
  EXPECT_TRUE(PendingResize);
  EXPECT_EQ(view_.Data(), ReadAll(File("in.jpg")));  // the view is as it was
  EXPECT_THROW(RunPendingEdits(view_), Exception);   // every activation reports it again

  ASSERT_EQ(mkdir(WorkDir.c_str(), 0755), 0);
  RunPendingEdits(view_);
  EXPECT_FALSE(PendingQuality);
  EXPECT_FALSE(PendingResize);
  ReferenceRecompress(File("in.jpg"), 50, File("q50.jpg"));
  EXPECT_EQ(ReadAll(WorkCopyPath()), ReferenceResize(File("q50.jpg"), 32, 24, File("ref.jpg")));
}

TEST_F(PendingEdits, AFailedResizeShowsTheWorkCopyAsItWas) {
  MakePicture(File("in.jpg"), 64, 48);
  MakePicture(File("old.jpg"), 30, 20);
  WriteAll(ResizeWritePath(), ReadAll(File("old.jpg")));
  view_.LoadFromFile(File("in.jpg"));
  // A requested size far beyond any bitmap fails before anything is written.
  std::string blocked = WorkDir + "tmp.jpg";
  RequestedWidth = 2147483647;
  PendingResize = true;
  EXPECT_THROW(RunPendingEdits(view_), Exception);
  EXPECT_TRUE(PendingResize);
  EXPECT_EQ(ReadAll(blocked), ReadAll(File("old.jpg")));
  EXPECT_EQ(view_.Data(), ReadAll(File("old.jpg")));  // reloaded from the old work copy
  EXPECT_EQ(view_.ShownPixels().Width(), 30);
}

TEST_F(PendingEdits, PicturesOfEveryKindOpenAndRecompressLikeTheReference) {
  MakePicture(File("base.jpg"), 120, 90);
  const std::string base = Quote(File("base.jpg"));
  Shell("/usr/bin/convert " + base + " -colorspace CMYK " + Quote(File("cmyk.jpg")));
  Shell("/usr/bin/convert " + base + " -colorspace Gray " + Quote(File("grey.jpg")));
  Shell("djpeg -ppm " + base + " | cjpeg -progressive > " + Quote(File("progressive.jpg")));
  Shell("/usr/bin/convert " + base + " -set exif:Artist Velmora -define jpeg:extent=20kb " +
        Quote(File("exif.jpg")));
  Shell("/usr/bin/convert -size 1x1 xc:'#3366cc' " + Quote(File("one.jpg")));
  for (const char* name : {"cmyk.jpg", "grey.jpg", "progressive.jpg", "exif.jpg", "one.jpg"}) {
    SCOPED_TRACE(name);
    ASSERT_NO_THROW(view_.LoadFromFile(File(name)));
    EXPECT_EQ(view_.Data(), ReadAll(File(name)));
    Quality = 75;
    PendingQuality = true;
    RunPendingEdits(view_);
    EXPECT_EQ(ReadAll(WorkCopyPath()), ReferenceRecompress(File(name), 75, File("ref.jpg"),
                                                           std::string(name) == "cmyk.jpg"));
  }
}

TEST_F(PendingEdits, BadFilesAreReportedAndLeaveTheViewAsItWas) {
  MakePicture(File("in.jpg"), 40, 30);
  view_.LoadFromFile(File("in.jpg"));
  std::vector<std::uint8_t> good = ReadAll(File("in.jpg"));
  std::vector<std::uint8_t> cut(good.begin(), good.begin() + long(good.size() / 3));
  WriteAll(File("cut.jpg"), cut);
  WriteAll(File("text.jpg"), {'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'});
  // A header claiming 60000 x 60000: refused before any pixel memory is taken.
  std::vector<std::uint8_t> huge = good;
  for (std::size_t i = 0; i + 8 < huge.size(); ++i)
    if (huge[i] == 0xFF && (huge[i + 1] == 0xC0 || huge[i + 1] == 0xC2)) {
      huge[i + 5] = huge[i + 7] = 0xEA;
      huge[i + 6] = huge[i + 8] = 0x60;
      break;
    }
  WriteAll(File("huge.jpg"), huge);
  for (const char* name : {"cut.jpg", "text.jpg", "huge.jpg", "missing.jpg", ""}) {
    SCOPED_TRACE(name);
    EXPECT_THROW(view_.LoadFromFile(File(name)), Exception);
    EXPECT_EQ(view_.Data(), good);
    EXPECT_EQ(view_.ShownPixels().Width(), 40);
  }
}

}  // namespace
}  // namespace vm::app
