#include "toolkit/Menu.h"

#include <algorithm>
#include <vector>

#include "toolkit/Bitmap.h"
#include "toolkit/Colors.h"
#include "toolkit/ImageList.h"

namespace vm::tk {

namespace {

// A canvas for menu items: the platform's menu font (bold for the default
// item), and the colours of the item's state.
void PrepareCanvas(TCanvas& canvas, const TMenuItem* item, TOwnerDrawState state) {
  NONCLIENTMETRICS ncm;
  SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, &ncm, 0);
  const TFontDesc& d = ncm.lfMenuFont;
  TFont& f = canvas.Font();
  f.SetName(d.Family);
  f.SetHeight(d.Height);
  TFontStyles style = 0;
  if (d.Bold || item->Default()) style |= fsBold;
  if (d.Italic) style |= fsItalic;
  if (d.Underline) style |= fsUnderline;
  if (d.StrikeOut) style |= fsStrikeOut;
  f.SetStyle(style);
  bool selected = (state & odSelected) != 0;
  f.SetColor((state & (odGrayed | odDisabled)) ? clGrayText
             : selected                        ? clHighlightText
                                               : clMenuText);
  canvas.Brush().SetColor(selected ? clHighlight : clMenu);
}

// The item an owner-drawing message is about: by the item data the toolkit
// gives every entry, else by the command number.
TMenuItem* OwnerDrawnItem(std::uintptr_t data, UINT id) {
  TMenuItem* item = data <= 0xFFFF ? TMenuItem::FromCommand(UINT(data)) : nullptr;
  return item ? item : TMenuItem::FromCommand(id);
}

bool MeasureItem(TMessage& m) {
  auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
  if (!mis || mis->CtlType != ODT_MENU) return false;
  TMenuItem* item = OwnerDrawnItem(mis->itemData, mis->itemID);
  if (!item) return false;
  TBitmap scratch(1, 1);
  PrepareCanvas(scratch.Canvas(), item, 0);
  int width = int(mis->itemWidth), height = int(mis->itemHeight);
  item->MeasureItem(&scratch.Canvas(), width, height);
  mis->itemWidth = UINT(std::clamp(width, 0, 4096));
  mis->itemHeight = UINT(std::clamp(height, 0, 4096));
  m.Result = 1;
  return true;
}

bool DrawItem(TMessage& m) {
  auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
  if (!dis || dis->CtlType != ODT_MENU || !dis->hDC) return false;
  TMenuItem* item = OwnerDrawnItem(dis->itemData, dis->itemID);
  if (!item) return false;
  TCanvas canvas;
  canvas.SetHandle(dis->hDC);
  struct TReset {
    TCanvas& Canvas;
    ~TReset() { Canvas.SetHandle(nullptr); }
  } reset{canvas};
  PrepareCanvas(canvas, item, dis->itemState);
  item->AdvancedDrawItem(&canvas, dis->rcItem, dis->itemState, item->IsBarEntry());
  m.Result = 1;
  return true;
}

}  // namespace

TMenu::TMenu(TComponent* owner) : TComponent(owner) {
  items_ = Create<TMenuItem>(this);
  items_->SetMenu(this);
}

TMenu::~TMenu() {
  Destroying();
  delete items_;
  items_ = nullptr;
}

void TMenu::SetOwnerDraw(bool v) {
  if (v == ownerDraw_) return;
  ownerDraw_ = v;
  Rebuild();  // every entry changes its kind
}

void TMenu::SetImages(TImageList* images) {
  if (images == images_) return;
  images_ = images;
  if (images) FreeNotification(images);
  Rebuild();  // items with an image become owner-drawn, or stop being so
}

void TMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == images_) {
    images_ = nullptr;
    if (!IsDestroying()) Rebuild();
  }
}

void TMenu::Rebuild() {
  std::vector<TMenuItem*> stack{items_};
  while (!stack.empty()) {
    TMenuItem* i = stack.back();
    stack.pop_back();
    i->RebuildHandle();
    for (int k = 0; k < i->Count(); ++k) stack.push_back(i->Items(k));
  }
}

TMenuItem* TMenu::FindShortCut(TShortCut shortCut) const {
  if (shortCut == scNone) return nullptr;
  std::vector<TMenuItem*> stack{items_};
  while (!stack.empty()) {
    TMenuItem* i = stack.back();
    stack.pop_back();
    if (i != items_ && i->ShortCut() == shortCut) return i;
    for (int k = i->Count(); k-- > 0;) stack.push_back(i->Items(k));
  }
  return nullptr;
}

bool TMenu::IsShortCut(int key, TShiftState shift) {
  TMenuItem* item = FindShortCut(ShortCut(key, shift & (ssShift | ssCtrl | ssAlt)));
  if (!item) return false;
  // The sub-menus holding the item hear OnClick first, outermost first, as
  // if they were opened; a disabled one stops the key.
  std::vector<std::pair<TMenuItem*, UINT>> chain;
  for (TMenuItem* p = item->Parent(); p && p->Parent(); p = p->Parent())
    chain.push_back({p, p->Command()});
  std::reverse(chain.begin(), chain.end());
  const UINT command = item->Command();
  for (auto [p, c] : chain) {
    if (TMenuItem::FromCommand(c) != p || !p->Enabled()) return true;
    if (p->OnClick) p->OnClick(p);
  }
  if (TMenuItem::FromCommand(command) == item && item->Enabled()) item->Click();
  return true;
}

bool TMenu::DispatchCommand(UINT command) {
  TMenuItem* item = TMenuItem::FromCommand(command);
  if (!item) return false;
  item->Click();
  return true;
}

bool TMenu::DispatchPopup(HMENU menu) {
  TMenuItem* item = TMenuItem::FromHandle(menu);
  if (!item) return false;
  const UINT command = item->Command();
  // The root of a pop-up menu announced itself through OnPopup already.
  if (item->Parent() && item->Enabled() && item->OnClick) item->OnClick(item);
  if (TMenuItem::FromCommand(command) != item) return true;  // freed by the handler
  // A handler may have given an entry owner-drawing events: every entry is
  // described to the platform again.
  RefreshEntries(item);
  return true;
}

void TMenu::RefreshEntries(TMenuItem* item) {
  for (int i = 0; i < item->Count(); ++i) item->Items(i)->Changed();
}

bool TMenu::HandleMenuMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_COMMAND:
      // From a menu: no control window, notification 0 (or 1 from an accelerator).
      if (m.LParam != 0 || HIWORD(m.WParam) > 1) return false;
      if (!DispatchCommand(LOWORD(m.WParam))) return false;
      m.Result = 0;
      return true;
    case WM_INITMENUPOPUP:
      if (!DispatchPopup(reinterpret_cast<HMENU>(m.WParam))) return false;
      m.Result = 0;
      return true;
    case WM_MEASUREITEM:
      return MeasureItem(m);
    case WM_DRAWITEM:
      return DrawItem(m);
    case WM_MENUCHAR: {
      // The platform picks mnemonics from item texts; owner-drawn entries are
      // matched here from their captions.
      TMenuItem* parent = TMenuItem::FromHandle(reinterpret_cast<HMENU>(m.LParam));
      if (!parent) return false;
      char32_t key = TMenuItem::FoldKey(char32_t(LOWORD(m.WParam)));
      int pos = 0;
      for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* child = parent->Items(i);
        if (!child->Visible()) continue;
        if (child->IsOwnerDrawn() && !child->IsLine() &&
            TMenuItem::MnemonicKey(child->Caption()) == key) {
          m.Result = LRESULT(MAKELPARAM(pos, int(MNC_EXECUTE)));
          return true;
        }
        ++pos;
      }
      return false;
    }
    default:
      return false;
  }
}

}  // namespace vm::tk
