// The main window: seven command buttons down the left side, the picture at
// full size in a scroll box, a menu bar that repeats the commands, and a
// status bar with the size line. Its activation carries out the edits that
// the quality and size dialogs request (see MainEdits.h).
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/MainEdits.h"
#include "app/PictureBox.h"
#include "skin/controls/BitBtn.h"
#include "skin/controls/Label.h"
#include "skin/controls/StatusBar.h"
#include "skin/data/SkinManager.h"
#include "toolkit/Form.h"
#include "toolkit/Image.h"
#include "toolkit/MainMenu.h"
#include "toolkit/MenuItem.h"
#include "toolkit/OpenPictureDialog.h"
#include "toolkit/SavePictureDialog.h"
#include "toolkit/Timer.h"

namespace vm::app {

class TfrmMain : public TForm {
 public:
  explicit TfrmMain(TComponent* owner);
  ~TfrmMain() override;
  std::string ClassName() const override { return "TfrmMain"; }

  TsBitBtn* sBitBtn1;   // open
  TsBitBtn* sBitBtn2;   // save
  TsBitBtn* sBitBtn10;  // size dialog
  TsBitBtn* sBitBtn9;   // quality dialog
  TsBitBtn* sBitBtn8;   // undo all changes
  TsBitBtn* sBitBtn3;   // about box
  TsBitBtn* sBitBtn5;   // exit
  TPictureBox* ScrollBox1;
  TImage* Image1;
  TsStatusBar* sStatusBar1;
  TsLabel* sLabel1;  // the size line
  tk::TMainMenu* MainMenu1;
  tk::TMenuItem* N1;   // "Файл"
  tk::TMenuItem* N2;   //   "Открыть"
  tk::TMenuItem* N3;   //   "Сохранить"
  tk::TMenuItem* N4;   //   "Выход"
  tk::TMenuItem* N11;  // "Изображение"
  tk::TMenuItem* N12;  //   "Изменить качество"
  tk::TMenuItem* N13;  //   "Изменить размер"
  tk::TMenuItem* N5;   //   "Отменить все изменения"
  tk::TMenuItem* N7;   // "Справка"
  tk::TMenuItem* N9;   //   "О программе..."

  TsSkinManager* sSkinManager1;
  TOpenPictureDialog* sOpenPictureDialog1;
  TSavePictureDialog* sSavePictureDialog1;
  TTimer* Timer1;

  // The filters of the two file dialogs.
  static constexpr const char* OpenFilter =
      "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg";
  static constexpr const char* SaveFilter = "JPEG Image File (*.jpg)|*.jpg";

  // Event handlers.
  void FormCreate(TComponent* Sender);
  void FormActivate(TComponent* Sender);
  void sBitBtn1Click(TComponent* Sender);
  void sBitBtn2Click(TComponent* Sender);
  void sBitBtn10Click(TComponent* Sender);
  void sBitBtn9Click(TComponent* Sender);
  void sBitBtn8Click(TComponent* Sender);
  void sBitBtn3Click(TComponent* Sender);
  void sBitBtn5Click(TComponent* Sender);
  void Timer1Timer(TComponent* Sender);

  // Shows the picture file in the view; a file that cannot be read or decoded
  // raises and leaves the view as it was.
  void LoadPicture(const std::string& path);
  // The bytes the shown picture was loaded from (empty when none is shown).
  std::vector<std::uint8_t> PictureData() const;

  void WndProc(TMessage& message) override;

 private:
  class TView;
  std::unique_ptr<TView> view_;
  // Why the chosen skin could not be loaded, shown once the window is up.
  std::string skinError_;
};

extern TfrmMain* frmMain;

}  // namespace vm::app
