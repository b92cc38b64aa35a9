// TStatusBar: panels, simple text, the grip and owner drawing reach the
// platform's status bar; a label placed on the bar paints over it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "platform/controls/Controls.h"
#include "platform/gfx/PngCodec.h"
#include "platform/gfx/SysColors.h"
#include "tests/support/Golden.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/Label.h"
#include "toolkit/Layout.h"
#include "toolkit/StatusBar.h"

namespace vm::test {
namespace {

class StatusBarTest : public TToolkitTest {
 protected:
  static void SetUpTestSuite() { PinFontConfiguration(); }

  // The main window's shape: 713 x 510, a single border, the bar at the bottom.
  TForm* MainLike(TFormBorderStyle border = bsSingle) {
    TForm* f = MakeForm(60, 60, 713, 510);
    f->SetBorderStyle(border);
    f->SetClientSize(713, 510);
    f->Font()->SetName("Tahoma");
    f->Font()->SetHeight(-11);
    return f;
  }
  TStatusBar* Bar(TForm* f) { return Place<TStatusBar>(f, f, "sStatusBar1", {0, 491, 713, 19}); }
  std::vector<int> Edges(TStatusBar* b) {
    int n = int(SendMessage(b->Handle(), SB_GETPARTS, 0, 0));
    std::vector<int> e(static_cast<std::size_t>(n));
    SendMessage(b->Handle(), SB_GETPARTS, WPARAM(n), LPARAM(e.data()));
    return e;
  }
  std::string PartText(TStatusBar* b, int i, LRESULT* info = nullptr) {
    LRESULT len = SendMessage(b->Handle(), SB_GETTEXTLENGTH, WPARAM(i), 0);
    if (info) *info = len;
    std::string s(std::size_t(LOWORD(len)) + 1, '\0');
    SendMessage(b->Handle(), SB_GETTEXT, WPARAM(i), LPARAM(s.data()));
    s.resize(LOWORD(len));
    return s;
  }
  LRESULT HitAt(TStatusBar* b, int x, int y) {
    TPoint p = At(b, x, y);
    return SendMessage(b->Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.X, p.Y));
  }
  // A piece of the form's window as shown.
  TBitmap Piece(TForm* f, TControl* c, int above) {
    Pump();
    PresentWindows();
    TBitmap shot = host.WindowShot(GetHostWindow(f->Handle()));
    TRect wr;
    GetWindowRect(f->Handle(), &wr);
    TPoint o = At(c, 0, -above);
    TBitmap out(c->Width(), c->Height() + above);
    TDC dc(out);
    dc.BitBlt(0, 0, out.Width(), out.Height(), shot, o.X - wr.Left, o.Y - wr.Top);
    return out;
  }
  void Golden(const std::string& name, const TBitmap& actual) {
    namespace fs = std::filesystem;
    const char* src = std::getenv("VELMORA_SOURCE_DIR");
    const fs::path root = src ? fs::path(src) : fs::current_path();
    if (const char* bin = std::getenv("VELMORA_BINARY_DIR")) {
      fs::create_directories(fs::path(bin) / "golden-actual");
      SavePngFile((fs::path(bin) / "golden-actual" / (name + ".png")).string(), actual);
    }
    const fs::path file = root / "tests/toolkit/golden" / (name + ".png");
    test::ExpectGolden(actual, file, name);
  }
};

TEST_F(StatusBarTest, TheMainWindowsBarHoldsTheSizeLabelAndKeepsItsPlace) {
  TForm* f = MainLike();
  TStatusBar* bar = Bar(f);
  auto* label = Place<TLabel>(f, bar, "sLabel1", {3, 3}, [](TLabel& l) {
    l.SetCaption("1 234 КБ");
    l.Font()->SetStyle(tk::fsBold);
    l.Font()->SetColor(RGB(59, 90, 130));
  });
  f->Show();
  Pump();
  EXPECT_EQ(bar->Align(), alBottom);
  EXPECT_TRUE(bar->ControlStyle() & csAcceptsControls);
  EXPECT_EQ(bar->BoundsRect(), Rect(0, 491, 713, 510));
  EXPECT_EQ(GetClassName(bar->Handle()), "TStatusBar");
  EXPECT_EQ(label->Parent(), bar);
  // No panels: one part over the whole bar, empty.
  EXPECT_EQ(Edges(bar), std::vector<int>{-1});
  EXPECT_EQ(PartText(bar, 0), "");
  // The form cannot be resized: no grip although SizeGrip is on.
  EXPECT_TRUE(bar->SizeGrip());
  EXPECT_EQ(HitAt(bar, 710, 16), HTCLIENT);
  // The label's text is on the bar, in its colour.
  TBitmap piece = Piece(f, bar, 0);
  int labelPixels = 0;
  for (int y = 3; y < 3 + label->Height(); ++y)
    for (int x = 3; x < 3 + label->Width(); ++x)
      labelPixels += piece.GetPixel(x, y) == RGB(59, 90, 130);
  EXPECT_GT(labelPixels, 20);
  // It survives the bar repainting under it, and follows its text.
  bar->Repaint();
  label->SetCaption("56 КБ");
  Golden("statusbar-label", Piece(f, bar, 4));
  // Making the form taller keeps the bar at the bottom at full width.
  f->SetClientSize(713, 600);
  Pump();
  EXPECT_EQ(bar->BoundsRect(), Rect(0, 581, 713, 600));
}

TEST_F(StatusBarTest, PanelsReachTheWindowWithTheirEdgesTextsAndBevels) {
  TForm* f = MainLike();
  TStatusBar* bar = Bar(f);
  TStatusPanels* panels = bar->Panels();
  // Made before the window: applied when it is made.
  panels->Add()->SetWidth(100);
  TStatusPanel* mid = panels->Add();
  mid->SetWidth(150);
  mid->SetText("по центру");
  mid->SetAlignment(taCenter);
  mid->SetBevel(pbRaised);
  TStatusPanel* last = panels->Add();
  last->SetWidth(20);  // the last one reaches the edge whatever its width
  last->SetText("справа");
  last->SetAlignment(taRightJustify);
  last->SetBevel(pbNone);
  f->Show();
  Pump();
  EXPECT_EQ(Edges(bar), (std::vector<int>{100, 250, -1}));
  LRESULT info = 0;
  EXPECT_EQ(PartText(bar, 1, &info), "\tпо центру");
  EXPECT_EQ(HIWORD(info), SBT_POPOUT);
  EXPECT_EQ(PartText(bar, 2, &info), "\t\tсправа");
  EXPECT_EQ(HIWORD(info), SBT_NOBORDERS);
  EXPECT_EQ(last->Index(), 2);

  // Changes go through at once, or together after EndUpdate.
  panels->Items(0)->SetText("Готово");
  EXPECT_EQ(PartText(bar, 0), "Готово");
  panels->BeginUpdate();
  panels->Items(0)->SetWidth(80);
  panels->Items(1)->SetWidth(-5);
  EXPECT_EQ(Edges(bar), (std::vector<int>{100, 250, -1}));
  panels->EndUpdate();
  EXPECT_EQ(Edges(bar), (std::vector<int>{80, 80, -1}));
  panels->Delete(0);
  EXPECT_EQ(Edges(bar), (std::vector<int>{0, -1}));
  EXPECT_EQ(PartText(bar, 0), "\tпо центру");
  EXPECT_THROW(panels->Items(2), std::out_of_range);
  EXPECT_THROW(panels->Delete(-1), std::out_of_range);
  panels->Clear();
  EXPECT_EQ(Edges(bar), std::vector<int>{-1});
  EXPECT_EQ(PartText(bar, 0), "");

  // The panels come back with a new window.
  panels->Add()->SetText("снова");
  bar->RecreateWnd();
  EXPECT_EQ(PartText(bar, 0), "снова");
}

TEST_F(StatusBarTest, SimplePanelShowsSimpleTextAndKeepsThePanels) {
  TForm* f = MainLike();
  TStatusBar* bar = Bar(f);
  bar->Panels()->Add()->SetText("Панель");
  bar->SetSimpleText("Загрузка...");
  f->Show();
  Pump();
  EXPECT_EQ(SendMessage(bar->Handle(), SB_ISSIMPLE, 0, 0), 0);
  bar->SetSimplePanel(true);
  EXPECT_EQ(SendMessage(bar->Handle(), SB_ISSIMPLE, 0, 0), 1);
  EXPECT_EQ(PartText(bar, int(SB_SIMPLEID)), "Загрузка...");
  bar->SetSimpleText("Готово");
  EXPECT_EQ(PartText(bar, int(SB_SIMPLEID)), "Готово");
  bar->RecreateWnd();
  EXPECT_EQ(SendMessage(bar->Handle(), SB_ISSIMPLE, 0, 0), 1);
  EXPECT_EQ(PartText(bar, int(SB_SIMPLEID)), "Готово");
  bar->SetSimplePanel(false);
  EXPECT_EQ(PartText(bar, 0), "Панель");
}

TEST_F(StatusBarTest, OwnerDrawnPanelsPaintThroughOnDrawPanel) {
  TForm* f = MainLike();
  TStatusBar* bar = Bar(f);
  bar->Panels()->Add()->SetWidth(120);
  TStatusPanel* drawn = bar->Panels()->Add();
  drawn->SetStyle(psOwnerDraw);
  TStatusPanel* seenPanel = nullptr;
  TRect seenRect;
  int calls = 0;
  bar->OnDrawPanel = [&](TStatusBar* sb, TStatusPanel* p, const TRect& r) {
    ++calls;
    EXPECT_EQ(sb, bar);
    seenPanel = p;
    seenRect = r;
    sb->Canvas()->Brush().SetColor(RGB(20, 160, 60));
    sb->Canvas()->FillRect(r);
  };
  f->Show();
  Pump();
  ASSERT_GT(calls, 0);
  EXPECT_EQ(seenPanel, drawn);
  TRect part;
  SendMessage(bar->Handle(), SB_GETRECT, 1, LPARAM(&part));
  EXPECT_EQ(seenRect, Rect(part.Left + 1, part.Top + 1, part.Right - 1, part.Bottom - 1));
  EXPECT_EQ(PixelAt(f, 200, 500), RGB(20, 160, 60));
  EXPECT_NE(PixelAt(f, 60, 500), RGB(20, 160, 60));
  EXPECT_FALSE(bar->Canvas()->HandleAllocated());  // only while it paints

  // A handler that throws is reported; the bar keeps painting afterwards.
  bar->OnDrawPanel = [](TStatusBar*, TStatusPanel*, const TRect&) {
    throw std::runtime_error("Ошибка рисования");
  };
  bool reported = false;
  app->OnException = [&](TComponent*, const std::exception& e) {
    reported = std::string(e.what()) == "Ошибка рисования";
  };
  bar->Repaint();
  Pump();
  EXPECT_TRUE(reported);
  EXPECT_FALSE(bar->Canvas()->HandleAllocated());
}

TEST_F(StatusBarTest, BorderWidthFramesTheBarInItsColorAndMovesItsInsideIn) {
  TForm* f = MainLike();
  TStatusBar* bar = Bar(f);
  auto* label = Place<TLabel>(f, bar, "sLabel1", {3, 3}, [](TLabel& l) { l.SetCaption("___"); });
  bar->SetColor(RGB(230, 200, 120));
  f->Show();
  Pump();
  bar->SetBorderWidth(3);
  Pump();
  EXPECT_EQ(bar->BoundsRect(), Rect(0, 491, 713, 510));  // the bar keeps its place
  EXPECT_EQ(bar->ClientWidth(), 707);
  EXPECT_EQ(bar->ClientHeight(), 13);
  TRect part;
  SendMessage(bar->Handle(), SB_GETRECT, 0, LPARAM(&part));
  EXPECT_EQ(part, Rect(0, 2, 707, 13));
  // The frame is in the bar's colour; the label sits inside it.
  // (Without the frame these are the part's shadow and light edges.)
  EXPECT_EQ(PixelAt(f, 0, 493), RGB(230, 200, 120));
  EXPECT_EQ(PixelAt(f, 712, 509), RGB(230, 200, 120));
  EXPECT_EQ(label->ClientToScreen({0, 0}), At(f, 6, 497));
  bar->SetBorderWidth(-4);
  Pump();
  EXPECT_EQ(bar->BorderWidth(), 0);
  EXPECT_EQ(bar->ClientWidth(), 713);
  EXPECT_EQ(PixelAt(f, 1, 492), RGB(230, 200, 120));  // the bar's own colour, above the part
  EXPECT_EQ(PixelAt(f, 0, 493), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(PixelAt(f, 712, 509), GetSysColor(COLOR_BTNHIGHLIGHT));
}

TEST_F(StatusBarTest, TheGripFollowsSizeGripAndTheFormsBorder) {
  TForm* f = MainLike(bsSizeable);
  TStatusBar* bar = Bar(f);
  f->Show();
  Pump();
  EXPECT_EQ(HitAt(bar, 710, 16), HTBOTTOMRIGHT);
  bar->SetSizeGrip(false);
  EXPECT_EQ(HitAt(bar, 710, 16), HTCLIENT);
  bar->SetSizeGrip(true);
  // Dragging the grip resizes the form; the bar stays at its bottom.
  TPoint from = At(bar, 708, 14);
  host.Drag(from, {from.X + 25, from.Y + 15});
  Pump();
  EXPECT_EQ(f->ClientWidth(), 738);
  EXPECT_EQ(f->ClientHeight(), 525);
  EXPECT_EQ(bar->BoundsRect(), Rect(0, 506, 738, 525));
}

}  // namespace
}  // namespace vm::test
