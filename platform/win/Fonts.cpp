// Font handles: HFONT values mapped to the shared fonts of platform/gfx.
//
// The table is process-wide (fonts outlive windows and hosts). Handles are
// never reused, so a deleted handle is merely unknown. The stock fonts have
// fixed handles and are never deleted.
#include <map>

#include "platform/gfx/DC.h"
#include "platform/win/WinApi.h"

namespace vm {

namespace {

// The font object itself comes from TFont::Get, which shares one object per
// description and follows PinFontConfiguration.
struct TFontEntry {
  TFontDesc Desc;
};

struct TFontTable {
  std::map<std::uintptr_t, TFontEntry> Fonts;
  std::uintptr_t Next = 0x100;  // below: the stock fonts, numbered by their index
};

TFontTable& Table() {
  static TFontTable table;
  return table;
}

bool IsStock(std::uintptr_t id) {
  return id == std::uintptr_t(DEFAULT_GUI_FONT) || id == std::uintptr_t(SYSTEM_FONT) ||
         id == std::uintptr_t(ANSI_VAR_FONT);
}

std::uintptr_t Id(HFONT f) {
  return reinterpret_cast<std::uintptr_t>(f);
}

TFontEntry* Entry(HFONT f) {
  std::uintptr_t id = Id(f);
  TFontTable& t = Table();
  if (IsStock(id) && !t.Fonts.count(id)) t.Fonts[id] = TFontEntry{TFontDesc{"Tahoma", -11}};
  auto it = t.Fonts.find(id);
  return it == t.Fonts.end() ? nullptr : &it->second;
}

}  // namespace

HFONT CreateFontIndirect(const TFontDesc& desc) {
  TFontTable& t = Table();
  std::uintptr_t id = t.Next++;
  t.Fonts[id] = TFontEntry{desc};
  return reinterpret_cast<HFONT>(id);
}

bool GetFontDesc(HFONT font, TFontDesc* desc) {
  TFontEntry* e = Entry(font);
  if (!e) return false;
  if (desc) *desc = e->Desc;
  return true;
}

std::shared_ptr<const TFont> GetFontObject(HFONT font) {
  TFontEntry* e = Entry(font);
  return e ? TFont::Get(e->Desc) : nullptr;
}

bool DeleteObject(HFONT font) {
  std::uintptr_t id = Id(font);
  if (IsStock(id)) return false;
  return Table().Fonts.erase(id) != 0;
}

HFONT GetStockFont(int index) {
  if (!IsStock(std::uintptr_t(index))) return nullptr;
  return reinterpret_cast<HFONT>(std::uintptr_t(index));
}

HFONT SelectObject(HDC dc, HFONT font) {
  if (!dc) return nullptr;
  std::shared_ptr<const TFont> f = GetFontObject(font);
  if (!f) return nullptr;
  std::shared_ptr<const TFont> old = dc->SelectFont(std::move(f));
  // The handle of the font the context had: one with its description.
  if (old)
    for (const auto& [id, e] : Table().Fonts)
      if (e.Desc == old->Desc()) return reinterpret_cast<HFONT>(id);
  return GetStockFont(DEFAULT_GUI_FONT);
}

}  // namespace vm
