#include "platform/gfx/Font.h"
#include "platform/base/AsciiCase.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <stdexcept>
#include <tuple>

namespace vm {
namespace {

constexpr const char* WineFontDir = "/usr/share/wine/fonts";

// Process-wide font state: the fontconfig configuration, FreeType and the
// shared fonts. Fonts stay alive once made; a program uses a handful.
// A fontconfig configuration that knows only the given folders and has no
// substitution rules: the fallback chain below decides what replaces a missing
// family, so results do not depend on the machine's rule files (whose parsing
// also leaks inside fontconfig). The user's cache folder keeps start-up fast.
FcConfig* MakeConfig(const std::vector<std::string>& dirs) {
  FcConfig* config = FcConfigCreate();
  if (!config) throw std::runtime_error("fontconfig cannot be initialised");
  std::string xml = "<fontconfig><cachedir prefix=\"xdg\">fontconfig</cachedir>";
  for (const std::string& d : dirs) {
    std::string escaped;
    for (char c : d) {
      if (c == '&')
        escaped += "&amp;";
      else if (c == '<')
        escaped += "&lt;";
      else if (c == '>')
        escaped += "&gt;";
      else
        escaped += c;
    }
    xml += "<dir>" + escaped + "</dir>";
  }
  xml += "</fontconfig>";
  FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(xml.c_str()), FcFalse);
  FcConfigBuildFonts(config);
  return config;
}

// Every folder fonts are installed in, plus the one that holds Tahoma.
std::vector<std::string> SystemFontDirs() {
  std::vector<std::string> dirs{"/usr/share/fonts", "/usr/local/share/fonts", WineFontDir};
  if (const char* home = std::getenv("HOME")) {
    dirs.push_back(std::string(home) + "/.local/share/fonts");
    dirs.push_back(std::string(home) + "/.fonts");
  }
  return dirs;
}

// Process-wide font state: the fontconfig configuration, FreeType and the
// shared fonts. Fonts stay alive once made; a program uses a handful.
struct TFontSystem {
  std::mutex Mutex;
  FcConfig* Config = nullptr;
  FT_Library Library = nullptr;
  std::map<std::tuple<std::string, int, bool, bool, bool, bool>, std::shared_ptr<const TFont>>
      Fonts;
  std::shared_ptr<const TFont> DefaultFont;

  // Called with Mutex held.
  void Init() {
    if (!Library && FT_Init_FreeType(&Library) != 0)
      throw std::runtime_error("FreeType cannot be initialised");
    if (!Config) Config = MakeConfig(SystemFontDirs());
  }
};

TFontSystem& System() {
  static TFontSystem* sys = new TFontSystem;  // never destroyed: fonts may outlive statics
  return *sys;
}

std::vector<std::string> FamilyChain(const std::string& family) {
  std::vector<std::string> chain{family};
  const std::string f = AsciiLowerCopy(family);
  if (f == "times new roman" || f == "serif" || f == "times") {
    chain.insert(chain.end(), {"Liberation Serif", "DejaVu Serif"});
  } else if (f == "courier new" || f == "monospace" || f == "courier") {
    chain.insert(chain.end(), {"Liberation Mono", "DejaVu Sans Mono"});
  } else {
    if (f == "ms sans serif" || f == "microsoft sans serif" || f == "ms shell dlg" ||
        f == "ms shell dlg 2")
      chain.push_back("Tahoma");
    chain.insert(chain.end(), {"Liberation Sans", "DejaVu Sans"});
  }
  return chain;
}

struct TFaceChoice {
  std::string File;
  int Index = 0;
  std::string Family;
  bool IsBold = false;
  bool IsItalic = false;
};

// The installed outline face of a family closest to the requested weight and
// slant (normal width preferred); nothing when the family is not installed.
bool FindFace(FcConfig* config, const std::string& family, bool bold, bool italic,
              TFaceChoice& out) {
  FcPattern* pat = FcPatternCreate();
  FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddBool(pat, FC_OUTLINE, FcTrue);
  FcObjectSet* os =
      FcObjectSetBuild(FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, FC_WIDTH, FC_FAMILY, nullptr);
  FcFontSet* set = FcFontList(config, pat, os);
  FcObjectSetDestroy(os);
  FcPatternDestroy(pat);
  if (!set) return false;
  int best = -1;
  long bestScore = 0;
  const int wantWeight = bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR;
  for (int i = 0; i < set->nfont; ++i) {
    FcPattern* p = set->fonts[i];
    FcChar8* file = nullptr;
    if (FcPatternGetString(p, FC_FILE, 0, &file) != FcResultMatch) continue;
    int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN, width = FC_WIDTH_NORMAL;
    FcPatternGetInteger(p, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(p, FC_SLANT, 0, &slant);
    FcPatternGetInteger(p, FC_WIDTH, 0, &width);
    const bool slanted = slant != FC_SLANT_ROMAN;
    long score = std::abs(weight - wantWeight) * 10 + std::abs(width - FC_WIDTH_NORMAL) * 20 +
                 (slanted != italic ? 100000 : 0);
    // Equal scores: the lexically first file, so the choice never depends on listing order.
    if (best < 0 || score < bestScore ||
        (score == bestScore &&
         std::strcmp(reinterpret_cast<const char*>(file), out.File.c_str()) < 0)) {
      best = i;
      bestScore = score;
      out.File = reinterpret_cast<const char*>(file);
      int index = 0;
      FcPatternGetInteger(p, FC_INDEX, 0, &index);
      out.Index = index;
      out.Family = family;
      out.IsBold = weight >= FC_WEIGHT_DEMIBOLD;
      out.IsItalic = slanted;
    }
  }
  FcFontSetDestroy(set);
  return best >= 0;
}

int Round26_6(FT_Pos v) {
  return int((v + 32) >> 6);
}

}  // namespace

struct TFont::TFace {
  FT_Face Face = nullptr;
  bool SynthBold = false;
  bool SynthItalic = false;
  // The bold Tahoma in the wine folder is wider than the regular one but its
  // outlines have the regular stems (its bold look lives in embedded bitmaps
  // we do not use), so its stems are thickened by a pixel.
  bool WidenStems = false;
  ~TFace() {
    if (Face) FT_Done_Face(Face);
  }
};

TFont::TFont(const TFontDesc& desc) : desc_(desc), face_(std::make_unique<TFace>()) {
  TFontSystem& sys = System();  // caller holds sys.Mutex
  TFaceChoice choice;
  bool found = false;
  for (const std::string& family : FamilyChain(desc.Family))
    if (FindFace(sys.Config, family, desc.Bold, desc.Italic, choice)) {
      found = true;
      break;
    }
  if (!found) throw std::runtime_error("no font found for family \"" + desc.Family + "\"");
  if (FT_New_Face(sys.Library, choice.File.c_str(), choice.Index, &face_->Face) != 0)
    throw std::runtime_error("cannot load font file \"" + choice.File + "\"");
  faceFamily_ = choice.Family;
  faceFile_ = choice.File;
  face_->SynthBold = desc.Bold && !choice.IsBold;
  face_->SynthItalic = desc.Italic && !choice.IsItalic;
  face_->WidenStems = desc.Bold && choice.IsBold && choice.File.rfind(WineFontDir, 0) == 0 &&
                      AsciiLowerCopy(choice.Family) == "tahoma";

  FT_Face f = face_->Face;
  const double upm = f->units_per_EM ? f->units_per_EM : 2048;
  // Ascent and descent as the platform measures them: from the OS/2 table's
  // Windows metrics when present.
  double asc = f->ascender, desc0 = -f->descender;
  const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
    asc = os2->usWinAscent;
    desc0 = os2->usWinDescent;
  }
  // Negative height: em height; positive: cell height; zero: the usual 11-pixel em.
  double em;
  if (desc.Height < 0)
    em = -double(desc.Height);
  else if (desc.Height > 0)
    em = desc.Height * upm / (asc + desc0);
  else
    em = 11;
  em = std::clamp(em, 1.0, 1000.0);
  FT_Set_Char_Size(f, 0, FT_F26Dot6(std::lround(em * 64)), 72, 72);
  const double scale = em / upm;

  line_.Ascent = int(std::lround(asc * scale));
  line_.Descent = int(std::lround(desc0 * scale));
  if (desc.Height > 0) {
    // Rounding must not change the cell height that was asked for.
    line_.Descent = desc.Height - line_.Ascent;
  }
  line_.Height = line_.Ascent + line_.Descent;
  line_.InternalLeading = std::max(0, line_.Height - int(std::lround(em)));
  line_.ExternalLeading = 0;
  if (os2 && os2->version != 0xFFFF) {
    const double ext =
        double(os2->sTypoLineGap) - ((asc + desc0) - (os2->sTypoAscender - os2->sTypoDescender));
    line_.ExternalLeading = std::max(0, int(std::lround(ext * scale)));
  }
  line_.MaxCharWidth = int(std::lround(f->max_advance_width * scale));
  line_.Weight = desc.Bold ? 700 : 400;
  line_.Italic = desc.Italic;
  line_.Underlined = desc.Underline;
  line_.StruckOut = desc.StrikeOut;

  lineThickness_ = std::max(1, int(std::lround(f->underline_thickness * scale)));
  underlinePos_ =
      std::clamp(int(std::lround(-f->underline_position * scale)), 1, std::max(1, line_.Descent));
  strikePos_ = (os2 && os2->version != 0xFFFF && os2->yStrikeoutPosition > 0)
                   ? int(std::lround(os2->yStrikeoutPosition * scale))
                   : int(std::lround(em * 0.3));
}

const TTextMetric& TFont::Metrics() const {
  std::call_once(averaged_, [this] {
    // Average width of text: lowercase letters and space weighted by how
    // often they occur in English, the classic definition. Newer fonts
    // average over every glyph they hold, which makes dialog units and tab
    // stops far too wide.
    static constexpr int Weights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6,  35, 20, 56,
                                        56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2,  166};
    int sum = 0, total = 0;
    for (int i = 0; i < 27; ++i) {
      sum += Weights[i] * Advance(i < 26 ? char32_t(U'a' + i) : U' ');
      total += Weights[i];
    }
    metrics_ = line_;
    metrics_.AveCharWidth = std::max(1, (sum + total / 2) / total);
  });
  return metrics_;
}

TFont::~TFont() = default;

std::shared_ptr<const TFont> TFont::Get(const TFontDesc& desc) {
  TFontSystem& sys = System();
  std::lock_guard<std::mutex> lock(sys.Mutex);
  sys.Init();
  auto key = std::make_tuple(AsciiLowerCopy(desc.Family), desc.Height, desc.Bold, desc.Italic,
                             desc.Underline, desc.StrikeOut);
  auto it = sys.Fonts.find(key);
  if (it != sys.Fonts.end()) return it->second;
  std::shared_ptr<const TFont> font(new TFont(desc));
  sys.Fonts.emplace(std::move(key), font);
  return font;
}

std::shared_ptr<const TFont> TFont::Default() {
  TFontSystem& sys = System();
  {
    std::lock_guard<std::mutex> lock(sys.Mutex);
    if (sys.DefaultFont) return sys.DefaultFont;
  }
  std::shared_ptr<const TFont> font = Get(TFontDesc{});
  std::lock_guard<std::mutex> lock(sys.Mutex);
  if (!sys.DefaultFont) sys.DefaultFont = font;
  return sys.DefaultFont;
}

const TGlyph& TFont::Glyph(char32_t cp) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = glyphs_.find(cp);
  if (it != glyphs_.end()) return it->second;
  TGlyph g;
  // Control characters take no room and draw nothing; layout handles the ones that matter.
  if (cp >= 0x20 && cp != 0x7F) {
    FT_Face f = face_->Face;
    const FT_UInt index = FT_Get_Char_Index(f, FT_ULong(cp));
    // Outlines only (no embedded bitmaps), lightly hinted, rendered in grey.
    if (FT_Load_Glyph(f, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL) == 0) {
      FT_GlyphSlot slot = f->glyph;
      if (face_->SynthItalic) FT_GlyphSlot_Oblique(slot);
      if (face_->SynthBold) FT_GlyphSlot_Embolden(slot);
      if (face_->WidenStems && slot->format == FT_GLYPH_FORMAT_OUTLINE)
        FT_Outline_EmboldenXY(&slot->outline, 64, 0);
      g.Advance = Round26_6(slot->advance.x);
      if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0 &&
          slot->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
        const FT_Bitmap& b = slot->bitmap;
        g.Width = int(b.width);
        g.Height = int(b.rows);
        g.Left = slot->bitmap_left;
        g.Top = slot->bitmap_top;
        g.Coverage.resize(std::size_t(g.Width) * std::size_t(g.Height));
        for (int y = 0; y < g.Height; ++y) {
          const unsigned char* row = b.pitch >= 0
                                         ? b.buffer + std::ptrdiff_t(y) * b.pitch
                                         : b.buffer + std::ptrdiff_t(g.Height - 1 - y) * -b.pitch;
          std::memcpy(g.Coverage.data() + std::size_t(y) * g.Width, row, std::size_t(g.Width));
        }
      }
    }
  }
  return glyphs_.emplace(cp, std::move(g)).first->second;
}

int TFont::TextWidth(std::u32string_view text) const {
  int w = 0;
  for (char32_t c : text) w += Advance(c);
  return w;
}

int TFont::Kerning(char32_t left, char32_t right) const {
  std::lock_guard<std::mutex> lock(mutex_);
  FT_Face f = face_->Face;
  if (!FT_HAS_KERNING(f)) return 0;
  FT_Vector k{};
  FT_Get_Kerning(f, FT_Get_Char_Index(f, FT_ULong(left)), FT_Get_Char_Index(f, FT_ULong(right)),
                 FT_KERNING_DEFAULT, &k);
  return Round26_6(k.x);
}

void PinFontConfiguration(const std::vector<std::string>& dirs) {
  TFontSystem& sys = System();
  std::lock_guard<std::mutex> lock(sys.Mutex);
  if (!sys.Library && FT_Init_FreeType(&sys.Library) != 0)
    throw std::runtime_error("FreeType cannot be initialised");
  FcConfig* config = MakeConfig(
      dirs.empty() ? std::vector<std::string>{WineFontDir, "/usr/share/fonts/truetype/liberation2",
                                              "/usr/share/fonts/truetype/liberation",
                                              "/usr/share/fonts/truetype/dejavu"}
                   : dirs);
  if (sys.Config) FcConfigDestroy(sys.Config);
  sys.Config = config;
  // Fonts already handed out stay valid for their holders; new requests see the new set.
  sys.Fonts.clear();
  sys.DefaultFont.reset();
}

}  // namespace vm
