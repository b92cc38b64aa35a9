#include "tools/skingen/SkinMockup.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>

namespace vm {

namespace {

constexpr TColor Magenta = 0x00FF00FF;

using TSections = std::map<std::string, std::map<std::string, std::string>>;

TSections Parse(const std::string& text) {
  TSections out;
  std::string section;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(pos, end - pos);
    pos = end + 2;
    if (line.empty()) continue;
    if (line[0] == '[') {
      section = line.substr(1, line.size() - 2);
    } else {
      const std::size_t eq = line.find('=');
      if (eq != std::string::npos) out[section][line.substr(0, eq)] = line.substr(eq + 1);
    }
  }
  return out;
}

struct TMask {
  const TIndexedImage* Image = nullptr;
  TRect R;
  int Count = 1, MaskType = 0, WL = 0, WT = 0, WR = 0, WB = 0, Stretch = 0;
  int CellW() const { return R.Width() / Count; }
  int CellH() const { return R.Height() / (MaskType + 1); }
};

class TCanvas {
 public:
  TCanvas(int w, int h, TColor fill) : W(w), H(h), Px(std::size_t(w) * h, fill) {}

  void Set(int x, int y, TColor c) {
    if (x >= 0 && y >= 0 && x < W && y < H) Px[std::size_t(y) * W + x] = c;
  }
  TColor Get(int x, int y) const { return Px[std::size_t(y) * W + x]; }
  void Fill(TRect r, TColor c) {
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) Set(x, y, c);
  }
  // Bands of "c1;c2;percent;mode;0" groups, top to bottom (mode 0) or left to right.
  void Gradient(TRect r, const std::string& text) {
    std::vector<long> n;
    std::size_t p = 0;
    while (p < text.size()) {
      std::size_t q = text.find(';', p);
      if (q == std::string::npos) q = text.size();
      if (q > p) n.push_back(std::stol(text.substr(p, q - p)));
      p = q + 1;
    }
    const std::size_t bands = n.size() / 5;
    if (bands == 0) return;
    const bool horizontal = n[3] == 1;
    const int len = horizontal ? r.Width() : r.Height();
    int start = 0;
    for (std::size_t b = 0; b < bands; ++b) {
      int end = b + 1 == bands
                    ? len
                    : std::min(len, start + int(std::min(100L, n[5 * b + 2]) * len / 100));
      const TColor c1 = TColor(n[5 * b]), c2 = TColor(n[5 * b + 1]);
      for (int i = start; i < end; ++i) {
        const double t = end - start > 1 ? double(i - start) / (end - start - 1) : 0;
        auto mix = [&](int a, int z) { return int(std::lround(a + (z - a) * t)); };
        const TColor c = RGB(mix(GetRValue(c1), GetRValue(c2)), mix(GetGValue(c1), GetGValue(c2)),
                             mix(GetBValue(c1), GetBValue(c2)));
        if (horizontal)
          Fill({r.Left + i, r.Top, r.Left + i + 1, r.Bottom}, c);
        else
          Fill({r.Left, r.Top + i, r.Right, r.Top + i + 1}, c);
      }
      start = end;
    }
  }
  // Copies a source piece (sx, sy, sw, sh) of a mask's frame to (dx, dy, dw, dh):
  // stretched by nearest neighbour or tiled; magenta skipped; with a mask row, blended.
  void Piece(const TMask& m, int sx, int sy, int sw, int sh, TRect d, bool stretch,
             bool corner = false) {
    if (sw <= 0 || sh <= 0) return;
    for (int y = d.Top; y < d.Bottom; ++y)
      for (int x = d.Left; x < d.Right; ++x) {
        const int ox = stretch ? (x - d.Left) * sw / std::max(1, d.Width()) : (x - d.Left) % sw;
        const int oy = stretch ? (y - d.Top) * sh / std::max(1, d.Height()) : (y - d.Top) % sh;
        const TColor s = m.Image->ColorAt(sx + ox, sy + oy);
        // Key-coloured corner pixels are cut from the window region: show the desktop.
        if (corner && s == Magenta && CornerFill != Magenta) {
          Set(x, y, CornerFill);
          continue;
        }
        if (m.MaskType == 0) {
          if (s != Magenta) Set(x, y, s);
          continue;
        }
        if (s == Magenta) continue;
        const TColor mk = m.Image->ColorAt(sx + ox, sy + oy + m.CellH());
        const TColor dst = Get(x, y);
        auto blend = [](int dc, int sc, int mc) {
          return std::clamp(((dc - sc) * mc + sc * 256) >> 8, 0, 255);
        };
        Set(x, y,
            RGB(blend(GetRValue(dst), GetRValue(s), GetRValue(mk)),
                blend(GetGValue(dst), GetGValue(s), GetGValue(mk)),
                blend(GetBValue(dst), GetBValue(s), GetBValue(mk))));
      }
  }
  void NinePart(TRect r, const TMask& m, int state, bool fillCentre = true) {
    if ((m.Stretch & 2) && state == 0) return;
    state = std::min(state, m.Count - 1);
    int bl = m.WL, br = m.WR, bt = m.WT, bb = m.WB;
    if (r.Width() < bl + br) {
      const int e = (bl + br - r.Width()) / 2;
      bl -= e, br -= e;
      if (r.Width() % 2) --br;
      bl = std::max(bl, 0), br = std::max(br, 0);
    }
    if (r.Height() < bt + bb) {
      const int e = (bt + bb - r.Height()) / 2;
      bt -= e, bb -= e;
      if (r.Height() % 2) --bb;
      bt = std::max(bt, 0), bb = std::max(bb, 0);
    }
    const int w = m.CellW(), h = m.CellH(), fx = m.R.Left + state * w, fy = m.R.Top;
    const int cw = std::max(0, w - bl - br), ch = std::max(0, h - bt - bb);
    const bool st = (m.Stretch & 1) && m.MaskType == 0;
    Piece(m, fx, fy, bl, bt, {r.Left, r.Top, r.Left + bl, r.Top + bt}, false, true);
    Piece(m, fx + bl + cw, fy, br, bt, {r.Right - br, r.Top, r.Right, r.Top + bt}, false, true);
    Piece(m, fx, fy + h - bb, bl, bb, {r.Left, r.Bottom - bb, r.Left + bl, r.Bottom}, false, true);
    Piece(m, fx + bl + cw, fy + h - bb, br, bb, {r.Right - br, r.Bottom - bb, r.Right, r.Bottom},
          false, true);
    Piece(m, fx + bl, fy, cw, bt, {r.Left + bl, r.Top, r.Right - br, r.Top + bt}, st);
    Piece(m, fx + bl, fy + h - bb, cw, bb, {r.Left + bl, r.Bottom - bb, r.Right - br, r.Bottom},
          st);
    Piece(m, fx, fy + bt, bl, ch, {r.Left, r.Top + bt, r.Left + bl, r.Bottom - bb}, st);
    Piece(m, fx + bl + cw, fy + bt, br, ch, {r.Right - br, r.Top + bt, r.Right, r.Bottom - bb}, st);
    if (fillCentre && (m.Stretch & 4))
      Piece(m, fx + bl, fy + bt, cw, ch, {r.Left + bl, r.Top + bt, r.Right - br, r.Bottom - bb},
            st);
  }
  void Cell(int x, int y, const TMask& m, int state) {
    state = std::min(state, m.Count - 1);
    Piece(m, m.R.Left + state * m.CellW(), m.R.Top, m.CellW(), m.CellH(),
          {x, y, x + m.CellW(), y + m.CellH()}, false);
  }

  int W, H;
  std::vector<TColor> Px;
  TColor CornerFill = Magenta;
};

}  // namespace

TRgbImage RenderMockup(const std::string& description, const TIndexedImage& master,
                       const TIndexedImage& huge) {
  const TSections s = Parse(description);
  auto value = [&](const std::string& sec, const std::string& key) {
    auto a = s.find(sec);
    if (a == s.end()) return std::string();
    auto b = a->second.find(key);
    return b == a->second.end() ? std::string() : b->second;
  };
  auto mask = [&](const std::string& sec, const std::string& key) {
    std::string v = value(sec, key);
    if (v.empty() && !value(sec, "PARENTCLASS").empty()) v = value(value(sec, "PARENTCLASS"), key);
    if (v.empty()) throw std::runtime_error("mockup: no " + sec + " " + key);
    TMask m;
    auto num = [&](int col, int len) {
      return std::stoi(v.substr(std::size_t(col - 1), std::size_t(len)));
    };
    if (v[0] == '!') {
      m.Image = &huge;
      m.R = {0, 0, huge.Width, huge.Height};
      m.Count = 3, m.MaskType = 1, m.WL = m.WT = m.WR = m.WB = 47, m.Stretch = 4;
      return m;
    }
    m.Image = &master;
    m.R = {num(2, 4), num(7, 4), num(12, 4), num(17, 4)};
    if (v[0] == '^') {
      m.WL = num(22, 4), m.WT = num(27, 4), m.WR = num(32, 4), m.WB = num(37, 4);
      m.Count = num(42, 1), m.MaskType = num(44, 1), m.Stretch = num(46, 1);
      if (m.WL + m.WT + m.WR + m.WB == 0) {
        m.WL = m.WR = m.R.Width() / (m.Count * 3);
        m.WT = m.WB = m.R.Height() / ((m.MaskType + 1) * 3);
      }
    } else {
      m.Count = num(22, 1), m.MaskType = num(24, 1);
    }
    return m;
  };
  auto color = [&](const std::string& sec, const std::string& key) {
    return TColor(std::stol(value(sec, key)));
  };

  TCanvas c(560, 330, RGB(96, 112, 136));
  // The window.
  const TRect win{12, 12, 392, 318};
  c.Fill(win, color("FORM", "COLOR"));
  c.CornerFill = c.Get(0, 0);
  c.NinePart(win, mask("FORM", "BORDERSMASK"), 1, false);
  const int captionH = 26;
  const TRect title{win.Left, win.Top, win.Right, win.Top + captionH};
  c.Gradient(title, value("FORMTITLE", "HOTGRADIENTDATA"));
  c.NinePart(title, mask("FORMTITLE", "BORDERSMASK"), 1, false);
  c.CornerFill = Magenta;
  int bx = win.Right - 4;
  int state = 0;
  for (const char* key : {"BICONCLOSE", "BICONMAX", "BICONMIN", "BICONHELP"}) {
    const TMask m = mask("GLOBALINFO", key);
    bx -= m.CellW();
    c.Cell(bx, win.Top + (captionH - m.CellH()) / 2 + 1, m, state++ % 3);
    bx -= 1;
  }
  // Menu bar with one highlighted item.
  const TRect menuLine{win.Left + 4, title.Bottom, win.Right - 4, title.Bottom + 19};
  c.Gradient(menuLine, value("MENULINE", "GRADIENTDATA"));
  const TRect barItem{menuLine.Left + 40, menuLine.Top, menuLine.Left + 84, menuLine.Bottom};
  c.Gradient(barItem, value("MENUITEM", "HOTGRADIENTDATA"));
  c.NinePart(barItem, mask("MENUITEM", "BORDERSMASK"), 1, false);
  // Push buttons in their three states, and a large one.
  for (int st = 0; st < 3; ++st)
    c.NinePart({win.Left + 16 + st * 84, 70, win.Left + 16 + st * 84 + 75, 70 + 25},
               mask("BUTTON", "BORDERSMASK"), st);
  // Edit and combo box.
  const TRect edit{win.Left + 16, 108, win.Left + 150, 129};
  c.Fill(edit, color("EDIT", "COLOR"));
  c.NinePart(edit, mask("EDIT", "BORDERSMASK"), 0, false);
  const TRect combo{win.Left + 160, 108, win.Left + 290, 129};
  c.Fill(combo, RGB(255, 255, 255));
  c.NinePart(combo, mask("COMBOBOX", "BORDERSMASK"), 1, false);
  const TRect comboBtn{combo.Right - 18, combo.Top + 1, combo.Right - 1, combo.Bottom - 1};
  c.NinePart(comboBtn, mask("COMBOBTN", "BORDERSMASK"), 1);
  const TMask arrow = mask("COMBOBOX", "GLYPHMASK");
  c.Cell(comboBtn.Left + (comboBtn.Width() - arrow.CellW()) / 2,
         comboBtn.Top + (comboBtn.Height() - arrow.CellH()) / 2, arrow, 1);
  // Check boxes and radio buttons in three states.
  int x = win.Left + 16;
  for (const char* key :
       {"BOXCHECKED", "BOXUNCHECKED", "BOXGRAYED", "RADIOCHECKED", "RADIOUNCHECKED", "SMALLCHECKED",
        "SMALLUNCHECKED", "SMALLGRAYED", "CHECK"}) {
    const TMask m = mask("GLOBALINFO", key);
    for (int st = 0; st < 3; ++st) c.Cell(x + st * (m.CellW() + 2), 140, m, st);
    x += 3 * (m.CellW() + 2) + 6;
  }
  // Track bar with ticks below the channel.
  const TMask channel = mask("TRACKBAR", "SLIDERCHANNEL");
  c.NinePart({win.Left + 24, 174, win.Left + 200, 174 + channel.CellH()}, channel, 0);
  const TMask tick = mask("TRACKBAR", "TICKHORZ");
  for (int i = 0; i <= 10; ++i) c.Cell(win.Left + 24 + 5 + i * 16, 192, tick, 0);
  c.Cell(win.Left + 80, 166, mask("TRACKBAR", "SLIDERMASK"), 0);
  c.Cell(win.Left + 140, 166, mask("TRACKBAR", "SLIDERMASK"), 1);
  c.Cell(win.Left + 210, 170, mask("TRACKBAR", "SLIDERVMASK"), 0);
  // Progress bar, tabs and a page.
  const TRect gauge{win.Left + 16, 206, win.Left + 200, 220};
  c.NinePart(gauge, mask("GAUGE", "BORDERSMASK"), 0);
  c.NinePart({gauge.Left + 1, gauge.Top + 1, gauge.Left + 120, gauge.Bottom - 1},
             mask("PROGRESSH", "BORDERSMASK"), 0);
  const TRect page{win.Left + 16, 248, win.Left + 200, 280};
  c.Gradient(page, value("PAGECONTROL", "GRADIENTDATA"));
  c.NinePart(page, mask("PAGECONTROL", "BORDERSMASK"), 0, false);
  for (int st = 0; st < 3; ++st) {
    const int t = st == 2 ? 2 : 0;
    c.NinePart({page.Left + 2 + st * 56, 228 - t, page.Left + 2 + st * 56 + 54, 249},
               mask("TABTOP", "BORDERSMASK"), st);
  }
  // Vertical scroll bar with buttons, arrows and slider.
  const TRect sb{win.Right - 4 - 17, 70, win.Right - 4, 282};
  c.NinePart(sb, mask("SCROLLBAR1V", "BORDERSMASK"), 0);
  c.NinePart({sb.Left, sb.Top, sb.Right, sb.Top + 17}, mask("SCROLLBTNTOP", "BORDERSMASK"), 0);
  c.NinePart({sb.Left, sb.Bottom - 17, sb.Right, sb.Bottom}, mask("SCROLLBTNBOTTOM", "BORDERSMASK"),
             1);
  const TMask up = mask("SCROLLBTNTOP", "GLYPHMASK"), down = mask("SCROLLBTNBOTTOM", "GLYPHMASK");
  c.Cell(sb.Left + 5, sb.Top + 5, up, 0);
  c.Cell(sb.Left + 5, sb.Bottom - 12, down, 1);
  c.NinePart({sb.Left, sb.Top + 40, sb.Right, sb.Top + 90}, mask("SCROLLSLIDERV", "BORDERSMASK"),
             1);
  // Status bar with a size grip.
  const TRect status{win.Left + 4, win.Bottom - 26, win.Right - 4, win.Bottom - 4};
  c.Gradient(status, value("STATUSBAR", "GRADIENTDATA"));
  c.NinePart(status, mask("STATUSBAR", "BORDERSMASK"), 0);
  const TMask grip = mask("GLOBALINFO", "GRIPIMAGE");
  c.Cell(status.Right - grip.CellW() - 1, status.Bottom - grip.CellH() - 1, grip, 0);

  // A pop-up menu beside the window.
  const TRect pop{404, 40, 548, 160};
  c.Gradient(pop, value("MAINMENU", "GRADIENTDATA"));
  c.Gradient({pop.Left + 1, pop.Top + 1, pop.Left + 1 + 24, pop.Bottom - 1},
             value("ICOLINE", "GRADIENTDATA"));
  c.NinePart(pop, mask("MAINMENU", "BORDERSMASK"), 0, false);
  const TRect item{pop.Left + 3, pop.Top + 23, pop.Right - 3, pop.Top + 43};
  c.Gradient(item, value("MENUITEM", "HOTGRADIENTDATA"));
  c.NinePart(item, mask("MENUITEM", "BORDERSMASK"), 1, false);
  c.Cell(item.Left + 2, item.Top + 5, mask("GLOBALINFO", "CHECK"), 1);
  c.NinePart({pop.Left + 30, pop.Top + 52, pop.Right - 3, pop.Top + 54}, channel, 0);
  // Small caption buttons of a dialog, and the large button.
  int row = 0;
  for (const char* key :
       {"SICONCLOSE", "SICONMAX", "SICONNORM", "SICONMIN", "SICONHELP", "TITLEBUTTON"}) {
    const TMask m = mask("GLOBALINFO", key);
    c.Gradient({404, 172 + row * 18, 548, 172 + row * 18 + 18},
               value("FORMTITLE", "HOTGRADIENTDATA"));
    for (int st = 0; st < 3; ++st) c.Cell(410 + st * (m.CellW() + 4), 174 + row * 18, m, st);
    ++row;
  }
  c.NinePart({450, 176, 548, 214}, mask("BUTTON_HUGE", "BORDERSMASK"), 1);
  c.NinePart({450, 220, 548, 258}, mask("BUTTON_HUGE", "BORDERSMASK"), 0);
  c.NinePart({404, 280, 548, 304}, mask("TOOLBAR", "BORDERSMASK"), 0);
  c.NinePart({410, 284, 432, 300}, mask("TOOLBUTTON", "BORDERSMASK"), 1);
  c.NinePart({436, 284, 458, 300}, mask("TOOLBUTTON", "BORDERSMASK"), 2);

  TRgbImage out(c.W, c.H);
  for (int y = 0; y < c.H; ++y)
    for (int x = 0; x < c.W; ++x) {
      const TColor col = c.Get(x, y);
      out.Set(x, y, GetRValue(col), GetGValue(col), GetBValue(col));
    }
  return out;
}

}  // namespace vm
