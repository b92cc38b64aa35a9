#include "toolkit/MenuItem.h"

#include <algorithm>
#include <stdexcept>
#include <unordered_map>

#include "platform/base/AsciiCase.h"
#include "platform/base/Utf8.h"
#include "platform/gfx/SysColors.h"
#include "toolkit/Bitmap.h"
#include "toolkit/ImageList.h"
#include "toolkit/Menu.h"

namespace vm::tk {

namespace {

// Every item alive under its command number. WM_COMMAND carries 16 bits;
// numbers start above the dialog command ids (IDOK is 1, and a dialog's
// Enter may send it without a window), go round up to 0xFFFF and skip those
// in use. A number freed comes back only after all the others, so a command
// still queued for a freed item finds nothing rather than another item.
struct TCommands {
  static constexpr UINT First = 0x100, Last = 0xFFFF;
  std::unordered_map<UINT, TMenuItem*> Items;
  UINT Next = First;

  UINT Allocate(TMenuItem* item) {
    if (Items.size() > Last - First) throw std::runtime_error("Too many menu items");
    while (Items.count(Next)) Next = Next == Last ? First : Next + 1;
    UINT c = Next;
    Next = Next == Last ? First : Next + 1;
    Items[c] = item;
    return c;
  }
};

TCommands& Commands() {
  static TCommands commands;
  return commands;
}

// The letter after the first single "&" of a caption, folded; 0 when none.
char32_t Mnemonic(const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    std::size_t at = i + 1;
    const char32_t c = NextUtf8(caption, at);
    return IsInvalidUtf8(c) ? 0 : FoldCase(c);
  }
  return 0;
}

std::string StripAmpersands(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&') {
      if (i + 1 < s.size() && s[i + 1] == '&') {
        out += '&';  // "&&" is a literal ampersand
        ++i;
      }
      continue;
    }
    out += s[i];
  }
  return out;
}

bool SameCaption(const std::string& a, std::string_view b) {
  std::string x = StripAmpersands(a), y = StripAmpersands(std::string(b));
  return SameTextAscii(x, y);
}

// Plain-look geometry of owner-drawn items, the same as the platform's own items.
constexpr int TextLeft = 20;     // the check column lies left of the caption
constexpr int ShortCutGap = 24;  // between the caption and the shortcut
constexpr int RightMargin = 20;  // room for a sub-menu's arrow
constexpr int BarItemPad = 6;    // each side of a bar entry's caption

// The column left of a pop-up item's caption: the check mark's, or wider
// for a picture with a little room around it.
int GlyphColumn(int glyphWidth) {
  return glyphWidth > 0 ? std::max(TextLeft, glyphWidth + 6) : TextLeft;
}

}  // namespace

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {
  command_ = Commands().Allocate(this);
}

TMenuItem::~TMenuItem() {
  freeing_ = true;
  Destroying();
  while (!items_.empty()) delete items_.back();  // each takes itself out of the list
  if (parent_) parent_->Remove(this);
  Commands().Items.erase(command_);
  if (HandleAlive()) {
    // The sub-menus of items that live on are not ours to destroy.
    while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
    DestroyMenu(handle_);
  }
  handle_ = nullptr;
}

TMenuItem* TMenuItem::FromCommand(UINT command) {
  auto& all = Commands().Items;
  auto it = all.find(command);
  return it == all.end() ? nullptr : it->second;
}

TMenuItem* TMenuItem::FromHandle(HMENU handle) {
  if (!handle) return nullptr;
  for (const auto& [command, item] : Commands().Items)
    if (item->handle_ == handle && item->HandleAlive()) return item;
  return nullptr;
}

// ---- Properties ----

void TMenuItem::SetCaption(const std::string& v) {
  if (v == caption_) return;
  caption_ = v;
  Changed();
}

void TMenuItem::SetShortCut(TShortCut v) {
  if (v == shortCut_) return;
  shortCut_ = v;
  Changed();
}

void TMenuItem::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Changed();
}

void TMenuItem::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  if (v && radioItem_) TurnSiblingsOff();
  Changed();
}

void TMenuItem::SetRadioItem(bool v) {
  if (v == radioItem_) return;
  radioItem_ = v;
  if (checked_ && radioItem_) TurnSiblingsOff();
  Changed();
}

void TMenuItem::SetGroupIndex(int v) {
  if (v == groupIndex_) return;
  groupIndex_ = v;
  if (checked_ && radioItem_) TurnSiblingsOff();
}

void TMenuItem::TurnSiblingsOff() {
  if (!parent_) return;
  for (TMenuItem* s : parent_->items_)
    if (s != this && s->radioItem_ && s->groupIndex_ == groupIndex_ && s->checked_) {
      s->checked_ = false;
      s->Changed();
    }
}

void TMenuItem::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  if (parent_) parent_->RebuildHandle();
}

void TMenuItem::SetBreak(TMenuBreak v) {
  if (v == break_) return;
  break_ = v;
  Changed();
}

void TMenuItem::SetDefault(bool v) {
  if (v == default_) return;
  default_ = v;
  if (v && parent_)
    for (TMenuItem* s : parent_->items_)
      if (s != this && s->default_) {
        s->default_ = false;
        s->Changed();
      }
  Changed();
}

void TMenuItem::SetImageIndex(int v) {
  if (v == imageIndex_) return;
  imageIndex_ = v;
  SiblingsChanged();
}

TBitmap* TMenuItem::Bitmap() {
  if (!bitmap_) {
    bitmap_ = std::make_unique<TBitmap>();
    bitmap_->OnChange = [this](TGraphic*) { SiblingsChanged(); };
  }
  return bitmap_.get();
}

void TMenuItem::SetBitmap(const TBitmap* bitmap) {
  TBitmap* own = Bitmap();
  if (bitmap && !bitmap->Empty()) {
    own->Assign(*bitmap);
    own->SetTransparent(true);
  } else {
    own->Assign(TBitmap());
  }
  SiblingsChanged();  // also when the picture's change went unannounced
}

TSize TMenuItem::GlyphSize() const {
  if (bitmap_ && !bitmap_->Empty()) return {bitmap_->Width(), bitmap_->Height()};
  TMenu* m = GetParentMenu();
  TImageList* images = m ? m->Images() : nullptr;
  if (images && imageIndex_ >= 0 && imageIndex_ < images->Count())
    return {images->Width(), images->Height()};
  return {0, 0};
}

void TMenuItem::DrawGlyph(TCanvas* canvas, int x, int y, bool enabled) {
  if (bitmap_ && !bitmap_->Empty()) {
    canvas->Draw(x, y, bitmap_.get());
    return;
  }
  TMenu* m = GetParentMenu();
  if (TImageList* images = m ? m->Images() : nullptr)
    images->Draw(*canvas, x, y, imageIndex_, enabled);
}

// ---- The list ----

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= int(items_.size())) return nullptr;
  return items_[std::size_t(index)];
}

void TMenuItem::Add(TMenuItem* item) {
  Insert(Count() - (item && item->parent_ == this ? 1 : 0), item);
}

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) throw std::invalid_argument("A menu item is required");
  if (item == this || item->Contains(this))
    throw std::invalid_argument("A menu item cannot contain itself");
  if (item->parent_) item->parent_->Remove(item);
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  RebuildHandle();
}

void TMenuItem::Delete(int index) {
  TMenuItem* item = Items(index);
  if (!item) throw std::out_of_range("Menu index out of bounds");
  delete item;
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  items_.erase(it);
  item->parent_ = nullptr;
  RebuildHandle();
}

void TMenuItem::Clear() {
  while (!items_.empty()) delete items_.back();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : int(it - items_.begin());
}

TMenuItem* TMenuItem::Find(std::string_view caption) const {
  for (TMenuItem* i : items_)
    if (SameCaption(i->caption_, caption)) return i;
  return nullptr;
}

bool TMenuItem::Contains(const TMenuItem* item) const {
  for (const TMenuItem* p = item; p; p = p->parent_)
    if (p == this) return true;
  return false;
}

int TMenuItem::MenuIndex() const {
  return parent_ ? parent_->IndexOf(this) : -1;
}

void TMenuItem::SetMenuIndex(int index) {
  if (!parent_) return;
  TMenuItem* p = parent_;
  int count = p->Count();
  index = std::clamp(index, 0, count - 1);
  if (index == MenuIndex()) return;
  auto& list = p->items_;
  list.erase(list.begin() + MenuIndex());
  list.insert(list.begin() + index, this);
  p->RebuildHandle();
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* root = this;
  while (root->parent_) root = root->parent_;
  return root->menu_;
}

// ---- The platform menu ----

bool TMenuItem::HandleAlive() const {
  return handle_ && IsMenu(handle_);
}

HMENU TMenuItem::Handle() {
  if (!HandleAlive()) {
    // Made again after its window took it along (a form's bar goes with its window).
    bool bar = !parent_ && menu_ && menu_->IsBar();
    handle_ = bar ? CreateMenu() : CreatePopupMenu();
    FillHandle();
  }
  return handle_;
}

void TMenuItem::SiblingsChanged() {
  // The picture column is shared by the items of one menu.
  if (!parent_) return Changed();
  for (TMenuItem* s : std::vector<TMenuItem*>(parent_->items_)) s->Changed();
}

int TMenuItem::SiblingGlyphWidth() const {
  if (!parent_) return GlyphSize().cx;
  int w = 0;
  for (const TMenuItem* s : parent_->items_)
    if (s->visible_) w = std::max(w, s->GlyphSize().cx);
  return w;
}

int TMenuItem::SiblingCaptionWidth(TCanvas* canvas) const {
  int w = 0;
  auto measure = [&](const TMenuItem* i) {
    if (i->visible_ && !i->IsLine())
      w = std::max(w, canvas->TextWidth(StripAmpersands(i->caption_)));
  };
  if (!parent_)
    measure(this);
  else
    for (const TMenuItem* i : parent_->items_) measure(i);
  return w;
}

bool TMenuItem::IsOwnerDrawn() const {
  if (OnMeasureItem || OnAdvancedDrawItem) return true;
  // The platform's items have no pictures: a menu with images, or with an
  // item that has a bitmap, draws all its items itself, so that their
  // captions line up after one picture column.
  if (TMenu* m = GetParentMenu(); m && m->Images()) return true;
  if (parent_)
    for (const TMenuItem* s : parent_->items_)
      if (s->bitmap_ && !s->bitmap_->Empty()) return true;
  TMenu* m = GetParentMenu();
  return m && m->OwnerDraw();
}

bool TMenuItem::IsBarEntry() const {
  return parent_ && !parent_->parent_ && parent_->menu_ && parent_->menu_->IsBar();
}

std::string TMenuItem::PlatformText() const {
  if (shortCut_ == scNone || IsBarEntry()) return caption_;
  std::string sc = ShortCutToText(shortCut_);
  return sc.empty() ? caption_ : caption_ + "\t" + sc;
}

MENUITEMINFO TMenuItem::PlatformInfo() {
  MENUITEMINFO info;
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING;
  info.fType = IsLine() ? MFT_SEPARATOR : MFT_STRING;
  if (IsOwnerDrawn()) info.fType |= MFT_OWNERDRAW;
  if (radioItem_) info.fType |= MFT_RADIOCHECK;
  if (break_ == mbBreak) info.fType |= MFT_MENUBREAK;
  if (break_ == mbBarBreak) info.fType |= MFT_MENUBARBREAK;
  info.fState =
      (enabled_ ? 0 : MFS_GRAYED) | (checked_ ? MFS_CHECKED : 0) | (default_ ? MFS_DEFAULT : 0);
  info.wID = command_;
  info.dwItemData = command_;
  info.hSubMenu = items_.empty() ? nullptr : Handle();
  info.dwTypeData = PlatformText();
  return info;
}

void TMenuItem::FillHandle() {
  UINT pos = 0;
  for (TMenuItem* item : std::vector<TMenuItem*>(items_))
    if (item->visible_) InsertMenuItem(handle_, pos++, true, item->PlatformInfo());
}

namespace {
std::uint64_t gMenuItemChanges = 0;
}  // namespace

std::uint64_t MenuItemChanges() {
  return gMenuItemChanges;
}

void TMenuItem::RebuildHandle() {
  if (freeing_) return;
  ++gMenuItemChanges;
  if (HandleAlive()) {
    while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
    FillHandle();
  }
  // The entry showing this item may gain or lose its sub-menu.
  if (parent_) {
    Changed();
    return;
  }
  if (TMenu* m = GetParentMenu()) m->MenuChanged();
}

void TMenuItem::Changed() {
  if (freeing_) return;
  ++gMenuItemChanges;
  if (parent_ && visible_ && parent_->HandleAlive()) {
    UINT pos = 0;
    for (TMenuItem* s : parent_->items_) {
      if (s == this) break;
      if (s->visible_) ++pos;
    }
    MENUITEMINFO info = PlatformInfo();
    // An entry under the pointer of an open menu stays highlighted.
    MENUITEMINFO old;
    old.fMask = MIIM_STATE;
    if (GetMenuItemInfo(parent_->handle_, pos, true, &old)) info.fState |= old.fState & MFS_HILITE;
    SetMenuItemInfo(parent_->handle_, pos, true, info);
  }
  if (TMenu* m = GetParentMenu()) m->MenuChanged();
}

// ---- Choosing ----

void TMenuItem::Click() {
  if (!enabled_) return;
  if (autoCheck_ && !(checked_ && radioItem_)) SetChecked(!checked_);
  if (OnClick) OnClick(this);
}

// ---- Owner drawing ----

void TMenuItem::MeasureItem(TCanvas* canvas, int& width, int& height) {
  bool topLevel = IsBarEntry();
  int menuH = GetSystemMetrics(SM_CYMENU);
  if (IsLine()) {
    width = 0;
    height = menuH / 2;
  } else {
    std::string label = StripAmpersands(caption_);
    TSize text = canvas->TextExtent(label.empty() ? std::string(" ") : label);
    TSize glyph = GlyphSize();
    if (topLevel) {
      width = text.cx + 2 * BarItemPad + (glyph.cx > 0 ? glyph.cx + BarItemPad : 0);
      height = std::max(menuH - 1, glyph.cy + 2);
    } else {
      std::string sc = ShortCutToText(shortCut_);
      // Shortcuts start in one column after the widest caption, as on the platform's items.
      width = GlyphColumn(SiblingGlyphWidth()) +
              (sc.empty() ? text.cx
                          : SiblingCaptionWidth(canvas) + ShortCutGap + canvas->TextWidth(sc)) +
              RightMargin;
      height = std::max({text.cy + 4, menuH - 1, glyph.cy + 4});
    }
  }
  if (OnMeasureItem) OnMeasureItem(this, canvas, width, height);
}

void TMenuItem::AdvancedDrawItem(TCanvas* canvas, const TRect& rect, TOwnerDrawState state,
                                 bool topLevel) {
  if (OnAdvancedDrawItem)
    OnAdvancedDrawItem(this, canvas, rect, state);
  else
    DrawItem(canvas, rect, state, topLevel);
}

void TMenuItem::DrawItem(TCanvas* canvas, const TRect& rect, TOwnerDrawState state, bool topLevel) {
  HDC dc = canvas->Handle();
  bool selected = (state & odSelected) != 0;
  bool disabled = (state & (odGrayed | odDisabled)) != 0;
  dc->FillRect(rect, GetSysColor(selected && !topLevel ? COLOR_HIGHLIGHT : COLOR_MENU));
  if (IsLine()) {
    int y = rect.Top + rect.Height() / 2 - 1;
    dc->FillRect({rect.Left + 1, y, rect.Right - 1, y + 1}, GetSysColor(COLOR_BTNSHADOW));
    dc->FillRect({rect.Left + 1, y + 1, rect.Right - 1, y + 2}, GetSysColor(COLOR_BTNHIGHLIGHT));
    return;
  }
  if (topLevel && selected) {
    // A bar entry being opened looks pressed.
    TColor dark = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    dc->FillRect({rect.Left, rect.Top, rect.Right, rect.Top + 1}, dark);
    dc->FillRect({rect.Left, rect.Top, rect.Left + 1, rect.Bottom}, dark);
    dc->FillRect({rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom}, light);
    dc->FillRect({rect.Right - 1, rect.Top, rect.Right, rect.Bottom}, light);
  }
  TColor ink = disabled                ? GetSysColor(COLOR_GRAYTEXT)
               : selected && !topLevel ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                       : GetSysColor(COLOR_MENUTEXT);
  dc->SelectFont(canvas->Font().PlatformFont());
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(ink);
  std::uint32_t format = DT_SINGLELINE | DT_VCENTER;
  if (state & odNoAccel) format |= DT_HIDEPREFIX;
  // Disabled text is engraved (a light copy one pixel down and right), as
  // the platform draws its own items, except on the selection.
  auto text = [&](const std::string& t, TRect r, std::uint32_t f) {
    if (disabled && !(selected && !topLevel)) {
      TRect shadow = r.Offset(1, 1);
      dc->SetTextColor(GetSysColor(COLOR_BTNHIGHLIGHT));
      dc->DrawText(t, shadow, f);
      dc->SetTextColor(GetSysColor(COLOR_BTNSHADOW));
    }
    dc->DrawText(t, r, f);
  };
  TSize glyph = GlyphSize();
  if (topLevel) {
    TRect r = rect;
    if (glyph.cx > 0) {
      DrawGlyph(canvas, r.Left + BarItemPad, r.Top + (r.Height() - glyph.cy) / 2, !disabled);
      r.Left += glyph.cx + BarItemPad;
    }
    text(caption_, r, format | DT_CENTER);
    return;
  }
  int column = GlyphColumn(SiblingGlyphWidth());
  if (glyph.cx > 0) {
    int gx = rect.Left + (column - glyph.cx) / 2, gy = rect.Top + (rect.Height() - glyph.cy) / 2;
    if (checked_) {
      // A checked item with a picture shows it pressed in.
      TRect f{gx - 2, gy - 2, gx + glyph.cx + 2, gy + glyph.cy + 2};
      TColor dark = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
      dc->FillRect({f.Left, f.Top, f.Right, f.Top + 1}, dark);
      dc->FillRect({f.Left, f.Top, f.Left + 1, f.Bottom}, dark);
      dc->FillRect({f.Left, f.Bottom - 1, f.Right, f.Bottom}, light);
      dc->FillRect({f.Right - 1, f.Top, f.Right, f.Bottom}, light);
    }
    DrawGlyph(canvas, gx, gy, !disabled);
  } else if (checked_) {
    int cx = rect.Left + TextLeft / 2, cy = rect.Top + rect.Height() / 2;
    if (radioItem_) {
      static constexpr int span[6][2] = {{2, 4}, {1, 5}, {0, 6}, {0, 6}, {1, 5}, {2, 4}};
      for (int row = 0; row < 6; ++row)
        dc->FillRect({cx - 3 + span[row][0], cy - 3 + row, cx - 3 + span[row][1], cy - 2 + row},
                     ink);
    } else {
      for (int i = 0; i < 7; ++i) {
        int dy = i < 3 ? i : 4 - i;
        dc->FillRect({cx - 3 + i, cy - 1 + dy, cx - 2 + i, cy + 2 + dy}, ink);
      }
    }
  }
  TRect label{rect.Left + column, rect.Top, rect.Right - RightMargin, rect.Bottom};
  text(caption_, label, format | DT_LEFT);
  std::string sc = ShortCutToText(shortCut_);
  if (!sc.empty()) {
    TRect at{label.Left + SiblingCaptionWidth(canvas) + ShortCutGap, rect.Top, rect.Right,
             rect.Bottom};
    text(sc, at, format | DT_LEFT | DT_NOPREFIX);
  }
}

char32_t TMenuItem::MnemonicKey(const std::string& caption) {
  return Mnemonic(caption);
}

char32_t TMenuItem::FoldKey(char32_t c) {
  return FoldCase(c);
}

}  // namespace vm::tk
