// The photo program as a user meets it: start-up, opening through the file
// dialog, the size line on the clock, the dialogs' requests carried out when
// the main window is active again, saving, undo and the failures on the way.
#include <sys/stat.h>
#include "skin/controls/SpinButton.h"
#include "skin/controls/TimerSpeedButton.h"

#include <filesystem>

#include "app/SafeFile.h"
#include "app/StoredGlyphs.h"
#include "skin/data/BuiltinSkin.h"
#include "skin/frame/CaptionIcon.h"
#include "skin/paint/pixels/PlatformFlags.h"
#include "tests/app/ProgramTestSupport.h"
#include "toolkit/HintWindow.h"
#include "toolkit/JPEGImage.h"

namespace vm::test {
namespace {

namespace fs = std::filesystem;
using namespace vm::app;

class Program : public TProgramTest {};

TEST_F(Program, StartsWithFourHiddenFormsAndTheMainWindowFirst) {
  ASSERT_NE(frmMain, nullptr);
  ASSERT_NE(frmInfo, nullptr);
  ASSERT_NE(frmResize, nullptr);
  ASSERT_NE(frmCompress, nullptr);
  EXPECT_EQ(Application->MainForm(), frmMain);
  EXPECT_EQ(Application->Title(), "Velmora v8.0");
  EXPECT_EQ(GetWindowText(Application->Handle()), "");
  // Created in order, owned by the application, none shown yet.
  std::vector<TComponent*> forms;
  for (int i = 0; i < Application->ComponentCount(); ++i)
    if (dynamic_cast<TCustomForm*>(Application->Components(i)))
      forms.push_back(Application->Components(i));
  EXPECT_EQ(forms, (std::vector<TComponent*>{frmMain, frmInfo, frmResize, frmCompress}));
  for (TComponent* f : forms) EXPECT_FALSE(static_cast<TCustomForm*>(f)->Visible());

  // The preparations and the creation handler have run.
  EXPECT_TRUE(IsNTFamily);
  EXPECT_FALSE(ProgramIcon().Empty());
  // The icon comes stored, byte for byte (alpha included) what its drawing
  // code makes; a size without a stored form is drawn.
  for (int size : {16, 32, 24}) {
    const TBitmap stored = StoredProgramIcon(size);
    EXPECT_EQ(stored.BottomUp(), MakeProgramIconWithAlpha(size).BottomUp());
    EXPECT_TRUE(stored.SamePixels(MakeProgramIconWithAlpha(size))) << size;
  }
  EXPECT_TRUE(StoredIconData(24).empty());
  // The program's icon is the application's and the skin engine's default.
  EXPECT_FALSE(Application->Icon()->Empty());
  EXPECT_FALSE(EngineDefaultIcon().Empty());
  EXPECT_EQ(WorkDir, TempDir());
  EXPECT_EQ(Quality, 100);
  EXPECT_EQ(RequestedLength, 0);
  EXPECT_EQ(RequestedWidth, 0);
  EXPECT_TRUE(frmMain->sSkinManager1->Active());
  EXPECT_EQ(frmMain->sSkinManager1->SkinName(), BuiltinSkinName);
  EXPECT_EQ(frmMain->sSkinManager1->SkinDirectory(), "c:\\Skins");
  EXPECT_EQ(frmMain->sSkinManager1->SkinInfo(), "5.43");

  Start();
  EXPECT_TRUE(frmMain->Visible());
  EXPECT_TRUE(frmMain->Active());
  EXPECT_EQ(frmMain->ClientWidth(), 713);
  EXPECT_EQ(frmMain->ClientHeight(), 510);
  EXPECT_EQ(GetWindowText(frmMain->Handle()), "Velmora v8.0");
  // Centred on the screen.
  const TRect r = frmMain->BoundsRect(), screen = host.WorkArea();
  EXPECT_LE(std::abs((r.Left + r.Right) - (screen.Left + screen.Right)), 1);
  EXPECT_LE(std::abs((r.Top + r.Bottom) - (screen.Top + screen.Bottom)), 1);
  // Only open, about and exit work before a picture is open.
  for (TBitBtn* b : {frmMain->sBitBtn2, frmMain->sBitBtn10, frmMain->sBitBtn9, frmMain->sBitBtn8})
    EXPECT_FALSE(b->Enabled()) << b->Name();
  for (TBitBtn* b : {frmMain->sBitBtn1, frmMain->sBitBtn3, frmMain->sBitBtn5})
    EXPECT_TRUE(b->Enabled()) << b->Name();
  EXPECT_FALSE(frmMain->sLabel1->Visible());
  // The first activation finds nothing pending and writes nothing.
  EXPECT_FALSE(fs::exists(TempDir() + "tmp.jpg"));
  EXPECT_FALSE(fs::exists(TempDir() + "beckup.jpg"));

  // Tab goes down the buttons in order and on to the picture.
  std::vector<TWinControl*> order;
  frmMain->GetTabOrderList(order);
  std::vector<std::string> names;
  for (TWinControl* c : order)
    if (c->TabStop()) names.push_back(c->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"sBitBtn1", "sBitBtn2", "sBitBtn10", "sBitBtn9",
                                             "sBitBtn8", "sBitBtn3", "sBitBtn5", "ScrollBox1"}));

  // The buttons name their commands in tooltips.
  for (auto [button, hint] :
       std::vector<std::pair<TBitBtn*, std::string>>{{frmMain->sBitBtn1, "Открыть"},
                                                     {frmMain->sBitBtn2, "Сохранить"},
                                                     {frmMain->sBitBtn8, "Отменить все изменения"},
                                                     {frmMain->sBitBtn3, "О программе..."},
                                                     {frmMain->sBitBtn5, "Выход"}}) {
    TPoint p = Center(button);
    host.MouseMove(p.X, p.Y);
    Pump();
    host.AdvanceClock(Application->HintPause + 10);
    Pump();
    ASSERT_TRUE(Application->HintWindow()->Active()) << hint;
    EXPECT_EQ(Application->HintWindow()->GetText(), hint);
    host.MouseMove(p.X, p.Y + 200);
    Pump();
  }

  Click(frmMain->sBitBtn5);
  EXPECT_TRUE(Application->Terminated());
  EXPECT_TRUE(errors.empty());
}

TEST_F(Program, TheWholeWorkflowThroughTheWindows) {
  WriteJpeg(File("photo.jpg"), 400, 300);
  const std::vector<std::uint8_t> original = ReadAll(File("photo.jpg"));
  Start();

  // Cancelling the open dialog changes nothing.
  AnswerFileDialog(std::nullopt);
  Click(frmMain->sBitBtn1);
  EXPECT_EQ(fileDialogs, 1);
  EXPECT_FALSE(frmMain->sBitBtn2->Enabled());
  EXPECT_EQ(frmMain->Image1->Picture()->Graphic(), nullptr);

  Open(File("photo.jpg"));
  ASSERT_TRUE(errors.empty()) << errors[0];
  ASSERT_EQ(fileDialogs, 2) << GetWindowText(GetActiveWindow()) << " focus "
                            << GetWindowText(GetFocus()) << " capture "
                            << (GetCapture() != nullptr);
  EXPECT_EQ(frmMain->Image1->Width(), 400);
  EXPECT_EQ(frmMain->Image1->Height(), 300);
  EXPECT_EQ(ReadAll(TempDir() + "beckup.jpg"), original);
  for (TBitBtn* b : {frmMain->sBitBtn2, frmMain->sBitBtn10, frmMain->sBitBtn9, frmMain->sBitBtn8})
    EXPECT_TRUE(b->Enabled()) << b->Name();
  EXPECT_TRUE(frmMain->sLabel1->Visible());
  EXPECT_EQ(Quality, 100);
  EXPECT_FALSE(Modified);
  Tick();
  EXPECT_EQ(SizeLine(), SizeText(int(original.size() / 1024)));
  // The picture is shown 1:1 from the top-left corner of the view.
  const TBitmap shown = LoadJpegFile(File("photo.jpg"));
  EXPECT_EQ(PixelAt(frmMain->Image1, 0, 0), shown.GetPixel(0, 0));
  EXPECT_EQ(PixelAt(frmMain->Image1, 123, 45), shown.GetPixel(123, 45));

  // Quality 50: the dialog records it, the main window recompresses on its return.
  Click(frmMain->sBitBtn9);
  ASSERT_TRUE(frmCompress->Visible());
  EXPECT_EQ(frmCompress->sTrackBar1->Position(), 100);
  EXPECT_EQ(frmCompress->sLabel2->Caption(), "100%");
  SlideTo(50);
  EXPECT_EQ(frmCompress->sLabel2->Caption(), "50%");
  // The hourglass shows while the edit runs (seen when the view takes the new picture).
  std::vector<TCursor> cursors;
  auto shows = frmMain->Image1->Picture()->OnChange;
  frmMain->Image1->Picture()->OnChange = [&](tk::TPicture* p) {
    cursors.push_back(Screen->Cursor());
    shows(p);
  };
  Click(frmCompress->OKBtn);
  frmMain->Image1->Picture()->OnChange = shows;
  EXPECT_EQ(cursors, std::vector<TCursor>{crHourGlass});
  EXPECT_EQ(Screen->Cursor(), crDefault);
  EXPECT_FALSE(frmCompress->Visible());
  EXPECT_TRUE(frmMain->Active());
  EXPECT_FALSE(PendingQuality);
  EXPECT_TRUE(Modified);
  EXPECT_EQ(Quality, 50);
  const std::vector<std::uint8_t> at50 = ReadAll(TempDir() + "tmp.jpg");
  EXPECT_EQ(at50, Recompress(shown, 50));
  EXPECT_EQ(frmMain->PictureData(), at50);
  Tick();
  EXPECT_EQ(SizeLine(), SizeText(int(at50.size() / 1024)));
  EXPECT_TRUE(errors.empty());

  // Resize to 200 wide: typed into the second field, OK by mouse.
  Click(frmMain->sBitBtn10);
  ASSERT_TRUE(frmResize->Visible());
  EXPECT_TRUE(frmResize->sSpinEdit1->Focused());
  EXPECT_EQ(frmResize->sSpinEdit1->GetText(), "1024");
  EXPECT_EQ(frmResize->sSpinEdit2->GetText(), "768");
  Click(frmResize->sSpinEdit2);
  frmResize->sSpinEdit2->SelectAll();
  Type("200");
  Click(frmResize->OKBtn);
  EXPECT_FALSE(frmResize->Visible());
  EXPECT_FALSE(PendingResize);
  EXPECT_EQ(RequestedLength, 1024);
  EXPECT_EQ(RequestedWidth, 200);
  EXPECT_EQ(frmMain->Image1->Width(), 200);
  EXPECT_EQ(frmMain->Image1->Height(), 150);
  const TBitmap recompressed = DecodeJpeg(at50);
  EXPECT_EQ(ReadAll(TempDir() + "tmp.jpg"), EncodeSampled(recompressed, 200, 150, 90));

  // Save twice: ".jpg" is added whatever the name ends in; cancelling writes nothing.
  AnswerFileDialog(File("saved"));
  Click(frmMain->sBitBtn2);
  EXPECT_EQ(ReadAll(File("saved.jpg")), ReadAll(TempDir() + "tmp.jpg"));
  AnswerFileDialog(File("again.jpg"));
  Click(frmMain->sBitBtn2);
  EXPECT_TRUE(fs::exists(File("again.jpg.jpg")));
  AnswerFileDialog(std::nullopt);
  Click(frmMain->sBitBtn2);
  EXPECT_EQ(fileDialogs, 5);

  // Undo: the picture as opened, the size line on the backup again.
  Click(frmMain->sBitBtn8);
  EXPECT_FALSE(Modified);
  EXPECT_EQ(Quality, 100);
  EXPECT_EQ(frmMain->PictureData(), original);
  EXPECT_EQ(frmMain->Image1->Width(), 400);
  Tick();
  EXPECT_EQ(SizeLine(), SizeText(int(original.size() / 1024)));
  // The quality dialog shows 100 again after an undo.
  Click(frmMain->sBitBtn9);
  EXPECT_EQ(frmCompress->sTrackBar1->Position(), 100);
  EXPECT_EQ(frmCompress->sLabel2->Caption(), "100%");
  // A slider moved and cancelled requests nothing; the next showing shows Quality again.
  SlideTo(20);
  EXPECT_EQ(frmCompress->sLabel2->Caption(), "20%");
  Click(frmCompress->CancelBtn);
  EXPECT_FALSE(frmCompress->Visible());
  EXPECT_FALSE(PendingQuality);
  EXPECT_FALSE(Modified);
  Click(frmMain->sBitBtn9);
  EXPECT_EQ(frmCompress->sTrackBar1->Position(), 100);
  EXPECT_EQ(frmCompress->sLabel2->Caption(), "100%");
  Key(VK_ESCAPE);
  EXPECT_FALSE(frmCompress->Visible());
  EXPECT_TRUE(errors.empty()) << errors[0];
}

TEST_F(Program, TheMenuRepeatsTheButtonsAndFollowsTheirState) {
  WriteJpeg(File("photo.jpg"), 60, 40);
  Start();
  EXPECT_EQ(frmMain->Menu(), frmMain->MainMenu1);
  EXPECT_EQ(frmMain->ClientHeight(), 510);
  for (tk::TMenuItem* i : {frmMain->N3, frmMain->N5, frmMain->N12, frmMain->N13})
    EXPECT_FALSE(i->Enabled()) << i->Name();
  EXPECT_EQ(ShortCutToText(frmMain->N3->ShortCut()), "Ctrl+S");
  // Ctrl+S before the first open: no save dialog.
  Key('S', true);
  EXPECT_EQ(fileDialogs, 0);

  // Ctrl+O opens through the open button's command.
  AnswerFileDialog(File("photo.jpg"));
  Key('O', true);
  EXPECT_EQ(fileDialogs, 1);
  EXPECT_EQ(ReadAll(TempDir() + "beckup.jpg"), ReadAll(File("photo.jpg")));
  for (tk::TMenuItem* i : {frmMain->N3, frmMain->N5, frmMain->N12, frmMain->N13})
    EXPECT_TRUE(i->Enabled()) << i->Name();
  AnswerFileDialog(File("copy"));
  Key('S', true);
  EXPECT_EQ(ReadAll(File("copy.jpg")), ReadAll(File("photo.jpg")));

  // "Изображение" / "Изменить качество" from the keyboard.
  host.Key(VK_F10);
  host.Key(VK_RIGHT);
  host.Key(VK_DOWN);
  host.Key(VK_RETURN);
  Pump();
  EXPECT_TRUE(frmCompress->Visible());
  Key(VK_ESCAPE);
  EXPECT_FALSE(frmCompress->Visible());

  Key('E', true);
  EXPECT_TRUE(Application->Terminated());
  EXPECT_TRUE(errors.empty());
}

TEST_F(Program, SizeLineCountsWholeKilobytes) {
  WriteJpeg(File("photo.jpg"), 40, 30);
  Start();
  Open(File("photo.jpg"));
  for (auto [bytes, kb] :
       std::vector<std::pair<int, int>>{{0, 0}, {1023, 0}, {1024, 1}, {2047, 1}}) {
    WriteAll(TempDir() + "beckup.jpg", std::vector<std::uint8_t>(std::size_t(bytes), 7));
    Tick();
    EXPECT_EQ(SizeLine(), SizeText(kb)) << bytes;
  }
  fs::remove(TempDir() + "beckup.jpg");
  Tick();
  EXPECT_EQ(SizeLine(), SizeText(0));
  // While modified the line measures the work copy, still missing before the edit is written.
  Modified = true;
  Tick();
  EXPECT_EQ(SizeLine(), SizeText(0));
}

TEST_F(Program, OpeningWithoutTheWorkingFolderShowsThePictureButEnablesNothing) {
  WriteJpeg(File("photo.jpg"), 64, 48);
  fs::remove(TempDir());
  Start();
  Open(File("photo.jpg"));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("beckup.jpg"), std::string::npos) << errors[0];
  EXPECT_EQ(frmMain->Image1->Width(), 64);  // the picture is in the view
  EXPECT_FALSE(frmMain->sBitBtn2->Enabled());
  EXPECT_FALSE(frmMain->sLabel1->Visible());
  EXPECT_FALSE(fs::exists(TempDir()));  // never made by the program
}

TEST_F(Program, AFailedEditIsReportedOnceAndRetriedAtTheNextActivation) {
  WriteJpeg(File("photo.jpg"), 64, 48);
  Start();
  Open(File("photo.jpg"));
  ASSERT_TRUE(errors.empty());
  fs::remove_all(TempDir());

  Click(frmMain->sBitBtn9);
  SlideTo(30);
  Click(frmCompress->OKBtn);
  // One report: closing the error box does not count as a new activation.
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("tmp.jpg"), std::string::npos) << errors[0];
  EXPECT_NE(errors[0].find("файл или папка не найдены"), std::string::npos) << errors[0];
  EXPECT_TRUE(PendingQuality);
  EXPECT_TRUE(Modified);
  Tick();
  EXPECT_EQ(SizeLine(), SizeText(0));

  // The folder is back. Opening another picture does not cancel the request:
  // the next activation of the main window applies it to the new picture.
  ASSERT_TRUE(fs::create_directory(TempDir()));
  WriteJpeg(File("other.jpg"), 80, 60);
  Open(File("other.jpg"));
  EXPECT_EQ(frmMain->PictureData(), ReadAll(File("other.jpg")));
  EXPECT_TRUE(PendingQuality);
  Click(frmMain->sBitBtn3);
  ASSERT_TRUE(frmInfo->Visible());
  Click(frmInfo->OKBtn);
  EXPECT_FALSE(frmInfo->Visible());
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_FALSE(PendingQuality);
  EXPECT_EQ(Quality, 100);  // the open set it back; the edit uses what Quality holds
  EXPECT_EQ(ReadAll(TempDir() + "tmp.jpg"), Recompress(LoadJpegFile(File("other.jpg")), 100));
}

TEST_F(Program, EditsRunWhenTheMainWindowIsActiveAgainNotWhenTheUserComesBack) {
  WriteJpeg(File("photo.jpg"), 64, 48);
  Start();
  Open(File("photo.jpg"));
  fs::remove_all(TempDir());
  Click(frmMain->sBitBtn9);
  SlideTo(60);
  Click(frmCompress->OKBtn);
  ASSERT_EQ(errors.size(), 1u);
  ASSERT_TRUE(PendingQuality);
  // Away to another program and back: the main window was the active one
  // all along, so nothing is tried again.
  const THostWindow main = GetHostWindow(frmMain->Handle());
  host.DesktopFocus(0);
  Pump();
  host.DesktopFocus(main);
  Pump();
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_TRUE(frmMain->Active());
  // A click on the main window while a dialog of the program is in front is
  // a new activation: the edit is tried again and fails again.
  Click(frmMain->sBitBtn3);
  ASSERT_TRUE(frmInfo->Active());
  host.AdvanceClock(600);
  TPoint corner = frmMain->ScrollBox1->ClientToScreen({10, 10});
  host.Click(corner.X, corner.Y);
  Pump();
  EXPECT_TRUE(frmMain->Active());
  EXPECT_EQ(errors.size(), 2u);
  EXPECT_TRUE(PendingQuality);
}

TEST_F(Program, TheSizeLineGoesOnWhileAFileDialogWaits) {
  WriteJpeg(File("photo.jpg"), 64, 48);
  Start();
  Open(File("photo.jpg"));
  WriteAll(TempDir() + "beckup.jpg", std::vector<std::uint8_t>(3 * 1024, 1));
  std::string during;
  host.SetIdleHandler([&] {
    HWND box = GetActiveWindow();
    if (box && GetDlgItem(box, IDC_FD_NAME) && during.empty()) {
      host.AdvanceClock(1000);
      Application->ProcessMessages();
      during = SizeLine();
    }
    return Idle();
  });
  AnswerFileDialog(std::nullopt);
  Click(frmMain->sBitBtn1);
  EXPECT_EQ(during, SizeText(3));
}

TEST_F(Program, DialogsAreCentredOnTheMainWindowEachTimeTheyAreShown) {
  Start();
  auto centred = [](TCustomForm* f) {
    TRect m = frmMain->BoundsRect(), d = f->BoundsRect();
    return std::abs((m.Left + m.Right) - (d.Left + d.Right)) <= 1 &&
           std::abs((m.Top + m.Bottom) - (d.Top + d.Bottom)) <= 1;
  };
  Click(frmMain->sBitBtn3);
  EXPECT_TRUE(centred(frmInfo));
  // Moved by the user, then closed; the main window moved meanwhile.
  frmInfo->SetBounds(5, 5, frmInfo->Width(), frmInfo->Height());
  Key(VK_RETURN);
  ASSERT_FALSE(frmInfo->Visible());
  frmMain->SetBounds(frmMain->Left() - 40, frmMain->Top() - 30, frmMain->Width(),
                     frmMain->Height());
  Pump();
  Click(frmMain->sBitBtn3);
  EXPECT_TRUE(centred(frmInfo));
}

TEST_F(Program, FailedUndoAndSaveChangeOnlyWhatRanBeforeTheError) {
  WriteJpeg(File("photo.jpg"), 64, 48);
  Start();
  Open(File("photo.jpg"));
  Tick();
  const std::string opened = SizeLine();
  // Undo right after opening: the same picture, the same size line.
  Click(frmMain->sBitBtn8);
  Tick();
  EXPECT_EQ(SizeLine(), opened);
  EXPECT_EQ(frmMain->PictureData(), ReadAll(File("photo.jpg")));

  Click(frmMain->sBitBtn9);
  SlideTo(40);
  Click(frmCompress->OKBtn);
  ASSERT_TRUE(errors.empty()) << errors[0];
  const std::vector<std::uint8_t> edited = frmMain->PictureData();
  fs::remove(TempDir() + "beckup.jpg");
  Click(frmMain->sBitBtn8);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("beckup.jpg"), std::string::npos) << errors[0];
  EXPECT_FALSE(Modified);  // set before the load failed
  EXPECT_EQ(Quality, 40);
  EXPECT_EQ(frmMain->PictureData(), edited);

  // A save into a folder that is not there writes nothing and changes nothing.
  AnswerFileDialog(File("nowhere/copy"));
  AnswerFileDialog(std::nullopt);  // the dialog refuses the name; then cancelled
  Click(frmMain->sBitBtn2);
  EXPECT_FALSE(fs::exists(File("nowhere")));
  EXPECT_EQ(frmMain->PictureData(), edited);
}

TEST_F(Program, QualityOneHundredStillEncodesThePictureAnew) {
  WriteJpeg(File("photo.jpg"), 120, 90, 60);
  Start();
  Open(File("photo.jpg"));
  Tick();
  const std::string before = SizeLine();
  Click(frmMain->sBitBtn9);
  EXPECT_EQ(frmCompress->sTrackBar1->Position(), 100);
  Key(VK_RETURN);  // OK at 100, the slider untouched
  ASSERT_TRUE(errors.empty()) << errors[0];
  EXPECT_FALSE(PendingQuality);
  EXPECT_TRUE(Modified);
  const std::vector<std::uint8_t> work = ReadAll(TempDir() + "tmp.jpg");
  EXPECT_NE(work, ReadAll(TempDir() + "beckup.jpg"));
  EXPECT_EQ(work, Recompress(LoadJpegFile(File("photo.jpg")), 100));
  Tick();
  EXPECT_NE(SizeLine(), before);
  EXPECT_EQ(SizeLine(), SizeText(int(work.size() / 1024)));
}

TEST_F(Program, TheSecondSizeFieldFailingKeepsTheFirstValue) {
  WriteJpeg(File("photo.jpg"), 64, 48);
  Start();
  Open(File("photo.jpg"));
  Click(frmMain->sBitBtn10);
  frmResize->sSpinEdit1->SelectAll();
  Type("500");
  Click(frmResize->sSpinEdit2);
  frmResize->sSpinEdit2->SelectAll();
  Type("99999999999");  // more digits than a 32-bit number holds
  Key(VK_RETURN);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("99999999999"), std::string::npos) << errors[0];
  EXPECT_TRUE(frmResize->Visible());
  EXPECT_TRUE(Modified);
  EXPECT_EQ(RequestedLength, 500);
  EXPECT_EQ(RequestedWidth, 0);
  EXPECT_FALSE(PendingResize);
}

TEST_F(Program, BadFilesAreReportedAndLeaveEverythingAsItWas) {
  WriteJpeg(File("photo.jpg"), 50, 40);
  Start();
  Open(File("photo.jpg"));
  const std::vector<std::uint8_t> backup = ReadAll(TempDir() + "beckup.jpg");
  Modified = true;

  std::vector<std::uint8_t> broken = ReadAll(File("photo.jpg"));
  broken.resize(broken.size() / 3);
  for (std::size_t i = 200; i < broken.size(); ++i) broken[i] = std::uint8_t(i * 37);
  WriteAll(File("broken.jpg"), broken);
  WriteAll(File("text.jpg"), {'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'});
  WriteJpeg(File("other.png"), 20, 20);
  for (const char* name : {"broken.jpg", "text.jpg", "other.png", "missing.jpg"}) {
    errors.clear();
    AnswerFileDialog(File(name));
    // The dialog itself refuses a name that is not there: cancelled then.
    if (std::string(name) == "missing.jpg") AnswerFileDialog(std::nullopt);
    Click(frmMain->sBitBtn1);
    const bool missing = std::string(name) == "missing.jpg";
    ASSERT_EQ(errors.size(), missing ? 0u : 1u) << name;
    if (!missing) {
      EXPECT_NE(errors[0].find(name), std::string::npos) << errors[0];
      // The reason is told in Russian; only the file's name is Latin.
      std::string reason = errors[0];
      for (std::size_t at; (at = reason.find(File(name))) != std::string::npos;)
        reason.erase(at, File(name).size());
      if (std::size_t at = reason.find("(.png)"); at != std::string::npos) reason.erase(at, 6);
      for (char c : reason) EXPECT_FALSE(c >= 'a' && c <= 'z') << errors[0];
    }
    EXPECT_EQ(frmMain->Image1->Width(), 50) << name;
    EXPECT_EQ(ReadAll(TempDir() + "beckup.jpg"), backup) << name;
    EXPECT_TRUE(Modified) << name;
  }
  // Cancelling the open dialog after an open changes nothing either.
  errors.clear();
  AnswerFileDialog(std::nullopt);
  Click(frmMain->sBitBtn1);
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(ReadAll(TempDir() + "beckup.jpg"), backup);
  EXPECT_TRUE(Modified);
  EXPECT_EQ(frmMain->PictureData(), backup);
  EXPECT_EQ(PixelAt(frmMain->Image1, 10, 10), LoadJpegFile(File("photo.jpg")).GetPixel(10, 10));
}

TEST_F(Program, PicturesOfEveryKindOpenAndRecompressLikeTheReferenceTools) {
  const std::string base = Quote(File("base.jpg"));
  Shell("/usr/bin/convert -size 160x120 gradient:'#d03020'-'#2040e0' -quality 85 " + base);
  Shell("/usr/bin/convert " + base + " -colorspace CMYK " + Quote(File("cmyk.jpg")));
  Shell("/usr/bin/convert " + base + " -colorspace Gray " + Quote(File("grey.jpg")));
  Shell("djpeg -ppm " + base + " | cjpeg -progressive > " + Quote(File("progressive.jpg")));
  Shell("/usr/bin/convert " + base + " -set exif:Artist Velmora " + Quote(File("exif.jpg")));
  Shell("/usr/bin/convert -size 1x1 xc:'#3366cc' " + Quote(File("one.jpg")));
  Shell("/usr/bin/convert -size 4000x3000 gradient:'#20c040'-'#f0e020' -quality 90 " +
        Quote(File("twelve.jpg")));
  Start();
  for (const char* name : {"base.jpg", "cmyk.jpg", "grey.jpg", "progressive.jpg", "exif.jpg",
                           "one.jpg", "twelve.jpg"}) {
    SCOPED_TRACE(name);
    Open(File(name));
    ASSERT_TRUE(errors.empty()) << errors[0];
    EXPECT_EQ(frmMain->PictureData(), ReadAll(File(name)));
    Click(frmMain->sBitBtn9);
    SlideTo(75);
    Key(VK_RETURN);
    ASSERT_FALSE(PendingQuality);
    // djpeg converts CMYK to RGB by itself and writes grey as grey unless asked for colour.
    const bool cmyk = std::string(name) == "cmyk.jpg";
    Shell(std::string(cmyk ? "djpeg -ppm " : "djpeg -rgb -ppm ") + Quote(File(name)) +
          " | cjpeg -quality 75 -baseline > " + Quote(File("ref.jpg")));
    EXPECT_EQ(ReadAll(TempDir() + "tmp.jpg"), ReadAll(File("ref.jpg")));
  }
}

TEST_F(Program, SizeFieldsTakeDigitsAndAreClampedOnlyWhenTheFocusLeaves) {
  WriteJpeg(File("photo.jpg"), 64, 48);
  Start();
  Open(File("photo.jpg"));
  Click(frmMain->sBitBtn10);
  TsSpinEdit* length = frmResize->sSpinEdit1;
  ASSERT_TRUE(length->Focused());
  length->SelectAll();
  const std::uint64_t beeps = host.BeepCount();
  Type("a-.5");
  EXPECT_EQ(length->GetText(), "5");
  EXPECT_EQ(host.BeepCount(), beeps + 3);

  // Enter reads the focused field as typed.
  Key(VK_RETURN);
  EXPECT_FALSE(frmResize->Visible());
  EXPECT_EQ(RequestedLength, 5);
  EXPECT_EQ(RequestedWidth, 768);

  // Closing the dialog does not leave the field: the next showing shows the
  // value as entered. A click on OK moves the focus within the dialog, which
  // clamps the focused field before it is read.
  Click(frmMain->sBitBtn10);
  EXPECT_EQ(length->GetText(), "5");
  ASSERT_TRUE(length->Focused());
  Click(frmResize->OKBtn);
  EXPECT_EQ(RequestedLength, 10);
  EXPECT_EQ(length->GetText(), "10");
  // Cancel keeps what was typed; so does a click on the main window meanwhile.
  Click(frmMain->sBitBtn10);
  length->SelectAll();
  Type("7");
  host.AdvanceClock(600);
  TPoint corner = frmMain->ScrollBox1->ClientToScreen({10, 10});
  host.Click(corner.X, corner.Y);
  Pump();
  EXPECT_EQ(length->GetText(), "7");
  Click(frmMain->sBitBtn10);
  // Shown again while open: in front, active, the focus back in the field.
  EXPECT_TRUE(frmResize->Active());
  ASSERT_TRUE(length->Focused());
  Key(VK_ESCAPE);
  Click(frmMain->sBitBtn10);
  EXPECT_EQ(length->GetText(), "7");
  ASSERT_TRUE(length->Focused());
  length->SelectAll();
  Type("99999");
  Click(frmResize->OKBtn);
  EXPECT_EQ(RequestedLength, 40000);
  EXPECT_EQ(length->GetText(), "40000");

  // An emptied field: a conversion error, the dialog stays, nothing pending.
  Click(frmMain->sBitBtn10);
  TsSpinEdit* width = frmResize->sSpinEdit2;
  Click(width);
  width->SelectAll();
  Key(VK_DELETE);
  EXPECT_EQ(width->GetText(), "");
  Modified = false;
  Click(frmResize->OKBtn);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("целым"), std::string::npos) << errors[0];
  EXPECT_TRUE(frmResize->Visible());
  EXPECT_FALSE(PendingResize);
  EXPECT_TRUE(Modified);
  EXPECT_EQ(width->GetText(), "");  // left alone when the focus left it

  // The arrows and the arrow keys step the number.
  Click(width);
  Type("300");
  TPoint up = width->Button()->UpButton()->ClientToScreen({8, 3});
  host.AdvanceClock(600);
  host.Click(up.X, up.Y);
  Pump();
  EXPECT_EQ(width->GetText(), "301");
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(width->GetText(), "299");
  Click(width);
  width->SelectAll();
  Type("300");
  // Cancel (Escape) keeps what was typed and requests nothing.
  Key(VK_ESCAPE);
  EXPECT_FALSE(frmResize->Visible());
  EXPECT_FALSE(PendingResize);
  Click(frmMain->sBitBtn10);
  EXPECT_EQ(width->GetText(), "300");
}

TEST_F(Program, QualityThenSizeBeforeTheMainWindowIsActiveAgain) {
  WriteJpeg(File("photo.jpg"), 300, 400);
  Start();
  Open(File("photo.jpg"));
  Click(frmMain->sBitBtn9);
  Click(frmMain->sBitBtn10);
  ASSERT_TRUE(frmCompress->Visible());
  ASSERT_TRUE(frmResize->Visible());
  SlideTo(40);
  // Both requests wait while the size dialog stays in front.
  Quality = 40;
  Modified = true;
  PendingQuality = true;
  frmCompress->Hide();
  frmResize->sSpinEdit1->SelectAll();
  Type("100");
  Click(frmResize->OKBtn);
  ASSERT_TRUE(errors.empty()) << errors[0];
  EXPECT_FALSE(PendingQuality);
  EXPECT_FALSE(PendingResize);
  // Taller than wide: the length decides; recompressed at 40 first, then sampled at 90.
  EXPECT_EQ(frmMain->Image1->Width(), 75);
  EXPECT_EQ(frmMain->Image1->Height(), 100);
  const TBitmap at40 = DecodeJpeg(Recompress(LoadJpegFile(File("photo.jpg")), 40));
  EXPECT_EQ(ReadAll(TempDir() + "tmp.jpg"), EncodeSampled(at40, 75, 100, 90));
}

TEST_F(Program, ThePictureScrollsWithWheelAndKeys) {
  WriteJpeg(File("big.jpg"), 1000, 900);
  Start();
  Open(File("big.jpg"));
  TScrollBox* box = frmMain->ScrollBox1;
  EXPECT_TRUE(box->VertScrollBar()->IsScrollBarVisible());
  EXPECT_TRUE(box->HorzScrollBar()->IsScrollBarVisible());
  TPoint p = Center(box);
  host.MouseMove(p.X, p.Y);
  host.Wheel(-120);
  Pump();
  const int down = box->VertScrollBar()->Position();
  EXPECT_GT(down, 0);
  EXPECT_EQ(box->HorzScrollBar()->Position(), 0);
  host.KeyDown(VK_SHIFT);
  host.Wheel(-120);
  host.KeyUp(VK_SHIFT);
  Pump();
  EXPECT_EQ(box->VertScrollBar()->Position(), down);
  EXPECT_GT(box->HorzScrollBar()->Position(), 0);
  // What shows at the view's corner is the scrolled part of the picture.
  const TBitmap shown = LoadJpegFile(File("big.jpg"));
  EXPECT_EQ(PixelAt(box, 0, 0),
            shown.GetPixel(box->HorzScrollBar()->Position(), box->VertScrollBar()->Position()));

  // A click on the picture gives the keys to the view.
  Click(frmMain->Image1);
  EXPECT_TRUE(box->Focused());
  Key(VK_END);
  EXPECT_EQ(box->VertScrollBar()->Position(), 900 - box->ClientHeight());
  Key(VK_HOME);
  EXPECT_EQ(box->VertScrollBar()->Position(), 0);
  Key(VK_NEXT);
  EXPECT_GT(box->VertScrollBar()->Position(), 0);
  Key(VK_END, true);
  EXPECT_EQ(box->HorzScrollBar()->Position(), 1000 - box->ClientWidth());
  Key(VK_LEFT);
  EXPECT_EQ(box->HorzScrollBar()->Position(),
            1000 - box->ClientWidth() - box->HorzScrollBar()->Increment());

  // Resized while scrolled to the far corner: the smaller picture is shown whole.
  Key(VK_END);
  Click(frmMain->sBitBtn10);
  Click(frmResize->sSpinEdit2);
  frmResize->sSpinEdit2->SelectAll();
  Type("300");
  Click(frmResize->OKBtn);
  EXPECT_EQ(frmMain->Image1->Width(), 300);
  EXPECT_EQ(frmMain->Image1->Left(), 0);
  EXPECT_EQ(frmMain->Image1->Top(), 0);
  EXPECT_FALSE(box->VertScrollBar()->IsScrollBarVisible());

  // A smaller picture opened next sits in the top-left corner without bars.
  WriteJpeg(File("small.jpg"), 100, 80);
  Open(File("small.jpg"));
  EXPECT_FALSE(box->VertScrollBar()->IsScrollBarVisible());
  EXPECT_EQ(frmMain->Image1->Left(), 0);
  EXPECT_EQ(frmMain->Image1->Top(), 0);
}

TEST_F(Program, DialogsKeepTheirValuesAndClosingTheMainWindowEndsTheRun) {
  Start();
  Click(frmMain->sBitBtn3);
  ASSERT_TRUE(frmInfo->Visible());
  EXPECT_EQ(frmInfo->sMemo1->Lines()->Count(), 7);
  EXPECT_TRUE(frmInfo->sMemo1->ReadOnly());
  // The frame's close button hides it; showing it again shows the same window.
  HWND info = frmInfo->Handle();
  host.RequestClose(GetHostWindow(info));
  Pump();
  EXPECT_FALSE(frmInfo->Visible());
  Click(frmMain->sBitBtn3);
  EXPECT_TRUE(frmInfo->Visible());
  EXPECT_EQ(frmInfo->Handle(), info);
  // One taskbar entry, the main window's, with every dialog open.
  WriteJpeg(File("photo.jpg"), 20, 20);
  Open(File("photo.jpg"));
  Click(frmMain->sBitBtn10);
  Click(frmMain->sBitBtn9);
  // Each dialog is centred on the main window; showing an open one brings it to the front.
  for (TCustomForm* f : {static_cast<TCustomForm*>(frmInfo), static_cast<TCustomForm*>(frmResize),
                         static_cast<TCustomForm*>(frmCompress)}) {
    TRect m = frmMain->BoundsRect(), d = f->BoundsRect();
    EXPECT_LE(std::abs((m.Left + m.Right) - (d.Left + d.Right)), 1) << f->Name();
    EXPECT_LE(std::abs((m.Top + m.Bottom) - (d.Top + d.Bottom)), 1) << f->Name();
  }
  EXPECT_EQ(host.ZOrder().front(), GetHostWindow(frmCompress->Handle()));
  Click(frmMain->sBitBtn10);
  EXPECT_EQ(host.ZOrder().front(), GetHostWindow(frmResize->Handle()));
  int entries = 0;
  for (THostWindow w : host.ZOrder())
    if (host.Native(w)->Params.Kind == THostWindowKind::Normal) {
      ++entries;
      EXPECT_EQ(w, GetHostWindow(frmMain->Handle()));
    }
  EXPECT_EQ(entries, 1);
  // Closing the main window ends the program while the box is open.
  host.RequestClose(GetHostWindow(frmMain->Handle()));
  Pump();
  EXPECT_TRUE(Application->Terminated());
}

}  // namespace
}  // namespace vm::test
