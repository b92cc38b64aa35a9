#include "app/Main.h"

#include "app/Compress.h"
#include "app/Glyphs.h"
#include "app/Info.h"
#include "app/Program.h"
#include "app/Resize.h"
#include "app/SafeFile.h"
#include "app/ShippedSkins.h"
#include "app/StoredGlyphs.h"
#include "app/Values.h"
#include "platform/controls/DialogDefs.h"
#include "skin/controls/SkinableMenus.h"
#include "skin/data/BuiltinSkin.h"
#include "skin/data/SkinLimits.h"
#include "skin/state/WindowAnnouncer.h"
#include "toolkit/Application.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Colors.h"
#include "toolkit/Layout.h"
#include "toolkit/Picture.h"
#include "toolkit/Screen.h"
#include "toolkit/SysUtils.h"

#include <sstream>

namespace vm::app {

namespace {
// Posted to the main window to show why the chosen skin did not load.
constexpr UINT WM_SKINERROR = WM_APP + 0x19;
}  // namespace

TfrmMain* frmMain = nullptr;

namespace {

// The hourglass over the whole program while a long task runs.
class TBusyCursor {
 public:
  TBusyCursor() : saved_(Screen ? Screen->Cursor() : crDefault) {
    if (Screen) Screen->SetCursor(crHourGlass);
  }
  ~TBusyCursor() {
    if (Screen) Screen->SetCursor(saved_);
  }
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;

 private:
  TCursor saved_;
};

// A glyph button of the left column, with its glyph read from the stored
// form the program carries.
TsBitBtn* CommandButton(TfrmMain* form, const std::string& name, int top, TGlyph glyph,
                        const std::string& hint, bool enabled) {
  return Place<TsBitBtn>(form, form, name, {8, top, 49, 41}, [&](TsBitBtn& b) {
    b.LoadGlyphData(StoredGlyphData(glyph));
    b.SetHint(hint);
    b.SetShowHint(true);
    b.SetEnabled(enabled);
  });
}

// A menu item under parent; choosing it performs the click of `button`, so
// that every command exists once, in its button's handler.
tk::TMenuItem* MenuItem(TComponent* owner, tk::TMenuItem* parent, const std::string& name,
                        const std::string& caption, TBitBtn* button = nullptr,
                        TShortCut shortCut = scNone, bool enabled = true) {
  auto* item = Create<tk::TMenuItem>(owner);
  item->SetName(name);
  item->SetCaption(caption);
  item->SetShortCut(shortCut);
  item->SetEnabled(enabled);
  if (button) item->OnClick = [button](TComponent*) { button->Click(); };
  parent->Add(item);
  return item;
}

}  // namespace

// The shown picture as the pending edits see it.
class TfrmMain::TView : public TPictureView {
 public:
  explicit TView(TfrmMain& form) : form_(form) {}
  const TBitmap& ShownPixels() override {
    tk::TGraphic* g = form_.Image1->Picture()->Graphic();
    if (const TBitmap* pixels = g ? g->DecodedPixels() : nullptr) return *pixels;
    throw Exception("Нет изображения");
  }
  void LoadFromFile(const std::string& path) override { form_.LoadPicture(path); }

 private:
  TfrmMain& form_;
};

TfrmMain::TfrmMain(TComponent* owner) : TForm(owner), view_(std::make_unique<TView>(*this)) {
  SetName("frmMain");
  SetCaption(ProgramTitle);
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu | biMinimize);
  SetPosition(poScreenCenter);
  SetColor(clBtnFace);
  Font()->SetName("Tahoma");
  Font()->SetHeight(-11);
  Font()->SetCharset(tk::DEFAULT_CHARSET);
  Font()->SetColor(clWindowText);
  SetIcon(ProgramIcon());

  // The layout, in tab order.
  sBitBtn1 = CommandButton(this, "sBitBtn1", 8, TGlyph::Open, "Открыть", true);
  sBitBtn2 = CommandButton(this, "sBitBtn2", 55, TGlyph::Save, "Сохранить", false);
  sBitBtn10 = CommandButton(this, "sBitBtn10", 102, TGlyph::Resize, "Изменить размеры", false);
  sBitBtn9 = CommandButton(this, "sBitBtn9", 149, TGlyph::Quality, "Изменить качество", false);
  sBitBtn8 = CommandButton(this, "sBitBtn8", 196, TGlyph::Undo, "Отменить все изменения", false);
  sBitBtn3 = CommandButton(this, "sBitBtn3", 243, TGlyph::About, "О программе...", true);
  sBitBtn5 = CommandButton(this, "sBitBtn5", 448, TGlyph::Exit, "Выход", true);
  ScrollBox1 = Place<TPictureBox>(this, this, "ScrollBox1", {63, 8, 640, 480});
  Image1 = Place<TImage>(this, ScrollBox1, "Image1", {0, 0, 620, 476},
                         [](TImage& i) { i.SetAutoSize(true); });
  sStatusBar1 =
      Place<TsStatusBar>(this, this, "sStatusBar1", {0, 491, 713, 19}, [](TsStatusBar& b) {
        b.SetAlign(alBottom);
        b.SkinData()->SetSkinSection("STATUSBAR");
      });
  sLabel1 = Place<TsLabel>(this, sStatusBar1, "sLabel1", {3, 3}, [](TLabel& l) {
    l.SetCaption("___");
    l.Font()->SetName("Tahoma");
    l.Font()->SetHeight(-11);
    l.Font()->SetStyle(tk::fsBold);
    l.Font()->SetColor(RGB(59, 90, 130));
    l.SetParentFont(false);
    l.SetVisible(false);
  });

  // The menu bar repeats the buttons' commands. The client area keeps its
  // size below the bar.
  MainMenu1 = Create<tk::TMainMenu>(this);
  MainMenu1->SetName("MainMenu1");
  tk::TMenuItem* bar = MainMenu1->Items();
  N1 = MenuItem(this, bar, "N1", "Файл");
  N2 = MenuItem(this, N1, "N2", "Открыть", sBitBtn1, ShortCut('O', ssCtrl));
  N3 = MenuItem(this, N1, "N3", "Сохранить", sBitBtn2, ShortCut('S', ssCtrl), false);
  N4 = MenuItem(this, N1, "N4", "Выход", sBitBtn5, ShortCut('E', ssCtrl));
  N11 = MenuItem(this, bar, "N11", "Изображение");
  N12 = MenuItem(this, N11, "N12", "Изменить качество", sBitBtn9, scNone, false);
  N13 = MenuItem(this, N11, "N13", "Изменить размер", sBitBtn10, scNone, false);
  N5 = MenuItem(this, N11, "N5", "Отменить все изменения", sBitBtn8, scNone, false);
  N7 = MenuItem(this, bar, "N7", "Справка");
  N9 = MenuItem(this, N7, "N9", "О программе...", sBitBtn3);
  SetMenu(MainMenu1);
  SetClientSize(713, 510);

  // The skin manager as the window's description holds it: the stored skin
  // in a container of its own, loaded while the description is read and
  // announced once reading is done.
  sSkinManager1 = Create<TsSkinManager>(this);
  sSkinManager1->SetName("sSkinManager1");
  // The manager's menu painter, which paints the menu line and the pop-up
  // menus while the skin is active.
  InstallSkinnedMenus(*sSkinManager1, dynamic_cast<TsWindowAnnouncer*>(SkinAnnouncer()));
  sSkinManager1->BeginLoading();
  {
    TsStoredSkin& stored = sSkinManager1->InternalSkins().Add();
    stored.Name = BuiltinSkinName;
    std::span<const std::uint8_t> data = BuiltinSkinContainer();
    stored.Data.assign(data.begin(), data.end());
  }
  sSkinManager1->SetSkinDirectory("c:\\Skins");
  // The skins that come with the program, offered after the user's own.
  sSkinManager1->SetSystemSkinDirectory(ShippedSkinFolder());
  try {
    sSkinManager1->SetSkinName(BuiltinSkinName);
  } catch (const std::exception& e) {
    // A skin of the skin directory that does not load must not end the
    // program: the user learns why, and the stored skin takes its place.
    skinError_ = SkinLoadErrorText(sSkinManager1->LoadingFile(), e);
    sSkinManager1->LoadStoredSkin();
  }
  sSkinManager1->MenuSupport().IcoLineSkin = "ICOLINE";
  sSkinManager1->MenuSupport().ExtraLineFont.Name = "Tahoma";
  sSkinManager1->MenuSupport().ExtraLineFont.Height = -11;
  sSkinManager1->EndLoading();

  // The file dialogs offer JPEG files only and add no extension of their
  // own; saving replaces a file without a question.
  sOpenPictureDialog1 = Create<TOpenPictureDialog>(this);
  sOpenPictureDialog1->SetName("sOpenPictureDialog1");
  sOpenPictureDialog1->SetFilter(OpenFilter);
  sSavePictureDialog1 = Create<TSavePictureDialog>(this);
  sSavePictureDialog1->SetName("sSavePictureDialog1");
  sSavePictureDialog1->SetFilter(SaveFilter);

  Timer1 = Create<TTimer>(this);
  Timer1->SetName("Timer1");
  Timer1->SetInterval(1000);
  Timer1->SetOnTimer([this](TComponent* s) { Timer1Timer(s); });

  sBitBtn1->OnClick = [this](TComponent* s) { sBitBtn1Click(s); };
  sBitBtn2->OnClick = [this](TComponent* s) { sBitBtn2Click(s); };
  sBitBtn10->OnClick = [this](TComponent* s) { sBitBtn10Click(s); };
  sBitBtn9->OnClick = [this](TComponent* s) { sBitBtn9Click(s); };
  sBitBtn8->OnClick = [this](TComponent* s) { sBitBtn8Click(s); };
  sBitBtn3->OnClick = [this](TComponent* s) { sBitBtn3Click(s); };
  sBitBtn5->OnClick = [this](TComponent* s) { sBitBtn5Click(s); };
  OnCreate = [this](TComponent* s) { FormCreate(s); };
  OnActivate = [this](TComponent* s) { FormActivate(s); };
}

TfrmMain::~TfrmMain() {
  if (frmMain == this) frmMain = nullptr;
}

void TfrmMain::FormCreate(TComponent*) {
  SetCreationDefaults(ProgramFolder());
}

void TfrmMain::FormActivate(TComponent*) {
  // Shown from the loop, once the activation is through.
  if (!skinError_.empty()) PostMessage(Handle(), WM_SKINERROR, 0, 0);
  if (PendingQuality || PendingResize) {
    TBusyCursor busy;
    RunPendingEdits(*view_);
  }
  Repaint();
}

void TfrmMain::LoadPicture(const std::string& path) {
  std::optional<tk::TFileFormat> format = tk::TPicture::FindFileFormat(path);
  if (!format)
    throw EInvalidGraphic("Не удалось открыть изображение \"" + path +
                          "\": неизвестное расширение файла (." + tk::FileExtension(path) + ")");
  std::unique_ptr<tk::TGraphic> graphic = format->Create();
  try {
    // The picture's own errors name the file already.
    graphic->LoadFromFile(path);
  } catch (const Exception&) {
    throw;
  } catch (const std::bad_alloc&) {
    throw EInvalidGraphic("Не удалось открыть изображение \"" + path + "\": недостаточно памяти");
  }
  try {
    // Decode now, so that a damaged picture is refused before it replaces
    // the shown one instead of failing on the first paint.
    graphic->DecodedPixels();
  } catch (const Exception& e) {
    throw EInvalidGraphic(e.Message() + " (файл \"" + path + "\")");
  } catch (const std::bad_alloc&) {
    throw EInvalidGraphic("Не удалось открыть изображение \"" + path + "\": недостаточно памяти");
  }
  Image1->Picture()->TakeGraphic(std::move(graphic));
}

std::vector<std::uint8_t> TfrmMain::PictureData() const {
  tk::TGraphic* g = Image1->Picture()->Graphic();
  if (!g || g->Empty()) throw EInvalidGraphicOperation("Нет изображения");
  std::ostringstream out;
  g->SaveToStream(out);
  const std::string bytes = out.str();
  return {bytes.begin(), bytes.end()};
}

void TfrmMain::sBitBtn1Click(TComponent*) {
  if (!sOpenPictureDialog1->Execute()) return;
  {
    TBusyCursor busy;
    LoadPicture(sOpenPictureDialog1->FileName());
  }
  // A new picture is shown from its top-left corner.
  ScrollBox1->HorzScrollBar()->SetPosition(0);
  ScrollBox1->VertScrollBar()->SetPosition(0);
  WriteFileSafely(BackupPath(), PictureData());
  for (TsBitBtn* b : {sBitBtn2, sBitBtn8, sBitBtn9, sBitBtn10}) b->SetEnabled(true);
  for (tk::TMenuItem* i : {N3, N5, N12, N13}) i->SetEnabled(true);
  Quality = 100;
  sLabel1->Show();
  Modified = false;
  Repaint();
}

void TfrmMain::sBitBtn2Click(TComponent*) {
  if (!sSavePictureDialog1->Execute()) return;
  // The extension is added whatever the name already ends in.
  WriteFileSafely(sSavePictureDialog1->FileName() + ".jpg", PictureData());
}

void TfrmMain::sBitBtn10Click(TComponent*) {
  frmResize->Show();
}

void TfrmMain::sBitBtn9Click(TComponent*) {
  frmCompress->Show();
}

void TfrmMain::sBitBtn8Click(TComponent*) {
  Modified = false;
  {
    TBusyCursor busy;
    LoadPicture(BackupPath());
  }
  Quality = 100;
  Repaint();
}

void TfrmMain::sBitBtn3Click(TComponent*) {
  frmInfo->Show();
}

void TfrmMain::sBitBtn5Click(TComponent*) {
  Application->Terminate();
}

void TfrmMain::Timer1Timer(TComponent*) {
  sLabel1->SetCaption(SizeLineText());
}

void TfrmMain::WndProc(TMessage& message) {
  if (message.Msg == WM_SKINERROR) {
    std::string text;
    text.swap(skinError_);
    if (!text.empty()) Application->MessageBox(text, "Ошибка скина", MB_OK | MB_ICONWARNING);
    message.Result = 0;
    return;
  }
  // The wheel goes to the focused control and up to the form from there;
  // the picture is the only thing on the form that scrolls.
  if (message.Msg == WM_MOUSEWHEEL && ScrollBox1 && ScrollBox1->HandleAllocated()) {
    ScrollBox1->Perform(message.Msg, message.WParam, message.LParam);
    message.Result = 0;
    return;
  }
  TForm::WndProc(message);
}

}  // namespace vm::app
