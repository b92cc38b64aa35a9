// The gallery: one form with every toolkit component, and a small dialog
// owned by it. velmora-gallery shows them on the X display; the toolkit's
// tests render the form headless against its golden picture.
#pragma once

#include "toolkit/Bevel.h"
#include "toolkit/BitBtn.h"
#include "toolkit/Button.h"
#include "toolkit/CheckBox.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Edit.h"
#include "toolkit/Form.h"
#include "toolkit/GroupBox.h"
#include "toolkit/Image.h"
#include "toolkit/ImageList.h"
#include "toolkit/Label.h"
#include "toolkit/ListBox.h"
#include "toolkit/MainMenu.h"
#include "toolkit/Memo.h"
#include "toolkit/OpenPictureDialog.h"
#include "toolkit/Panel.h"
#include "toolkit/PopupMenu.h"
#include "toolkit/RadioButton.h"
#include "toolkit/SavePictureDialog.h"
#include "toolkit/ScrollBox.h"
#include "toolkit/SpeedButton.h"
#include "toolkit/StatusBar.h"
#include "toolkit/Timer.h"
#include "toolkit/TrackBar.h"
#include "toolkit/UpDown.h"

namespace vm::gallery {

// A square glyph strip: a filled square on the magenta key colour, one colour per picture.
std::unique_ptr<tk::TBitmap> SquareGlyph(int pictures, int size = 16);

class TGalleryForm : public TForm {
 public:
  explicit TGalleryForm(TComponent* owner);
  std::string ClassName() const override { return "TGalleryForm"; }

  TPanel* Panel1;
  TBevel *Bevel1, *Bevel2;
  TLabel *Label1, *Label2, *Label3;
  TImage *Image1, *Image2;
  TScrollBox* ScrollBox1;
  TBitBtn *BitBtn1, *BitBtn2;
  TButton *OKBtn, *CancelBtn;
  TTrackBar* TrackBar1;
  TCheckBox* CheckBox1;
  TGroupBox* GroupBox1;
  TRadioButton *RadioButton1, *RadioButton2;
  TEdit* Edit1;
  TUpDown* UpDown1;
  TComboBox* ComboBox1;
  TListBox* ListBox1;
  TMemo* Memo1;
  TStatusBar* StatusBar1;
  TTimer* Timer1;
  TOpenPictureDialog* OpenPictureDialog1;
  TSavePictureDialog* SavePictureDialog1;
  tk::TImageList* ImageList1;
  // The menu bar repeats the buttons' commands; the panel has a shortcut menu.
  tk::TMainMenu* MainMenu1;
  tk::TMenuItem *N1, *N2, *N12, *N3, *N4, *N5, *N6, *N7, *N8;
  tk::TPopupMenu* PopupMenu1;
  tk::TMenuItem *N9, *N10, *N11;

 private:
  int seconds_ = 0;  // shown by Timer1
};

class TGalleryDialog : public TForm {
 public:
  explicit TGalleryDialog(TComponent* owner);
  std::string ClassName() const override { return "TGalleryDialog"; }

  TBevel* Bevel1;
  TLabel* Label1;
  TCheckBox* CheckBox1;
  TButton* OKBtn;
};

}  // namespace vm::gallery
