// The "Edit" window class: single-line and multi-line text fields.
//
// The text is UTF-8 and the control owns it (WM_SETTEXT/WM_GETTEXT are
// answered here). It is laid out into visual lines: one line for a
// single-line edit; for a multi-line edit one line per paragraph, or several
// when the paragraph is wrapped at word boundaries (a multi-line edit wraps
// unless it scrolls horizontally: ES_AUTOHSCROLL or WS_HSCROLL). An edit
// re-lays out only the paragraphs it touched and shifts the lines after
// them, so typing into a long memo costs the same as typing into a short one.
//
// Characters arrive as WM_CHAR and are inserted by this procedure, so a
// subclass sees (and may swallow) every character before it is inserted.
// Control characters do the platform's editing commands: Backspace, Ctrl+A
// (select all), Ctrl+C/X/V (copy, cut, paste), Ctrl+Z (undo).
//
// Undo is one level, as on the platform: a run of typed characters is one
// step, and undoing twice redoes.
#include <algorithm>
#include <cstring>

#include "platform/base/Utf8.h"
#include "platform/controls/ControlSupport.h"
#include "platform/controls/Controls.h"

namespace vm {

namespace {

using namespace ctl;

constexpr TColor Sys(int index) {
  return 0xFF000000u | TColor(index);
}

// The platform's default text limit for typing (WM_SETTEXT is not limited).
constexpr std::size_t DefaultLimit = 32767;
constexpr std::size_t NoLimit = 0x7FFFFFFE;
constexpr std::size_t MultiNoLimit = 0xFFFFFFFF;

struct TLine {
  std::size_t Start = 0;  // first byte
  std::size_t End = 0;    // end of the visible characters (before a line break)
  std::size_t Next = 0;   // first byte of the next line
  int Width = 0;          // pixels
  bool Hard = false;      // ends with a line break
};

enum class TUndoKind { None, Typing, Other };

struct TEditData {
  std::string Text;
  std::vector<TLine> Lines;
  std::size_t Anchor = 0;  // the fixed end of the selection
  std::size_t Caret = 0;   // the moving end, where the caret is
  int FirstLine = 0;       // multi-line: the top visible line
  int XOffset = 0;         // pixels scrolled horizontally
  int MaxWidth = 0;        // widest line
  std::size_t Limit = DefaultLimit;
  bool Modified = false;
  bool Focused = false;
  bool Tracking = false;  // mouse selection in progress
  bool HasRect = false;   // EM_SETRECT gave the formatting rectangle
  TRect FormatRect;
  int LeftMargin = 1, RightMargin = 1;
  char32_t PasswordChar = 0;
  int WantCaretX = -1;  // Up/Down keep the column they started from
  // One level of undo: the text and selection before the last change.
  bool CanUndo = false;
  TUndoKind LastKind = TUndoKind::None;
  std::string UndoText;
  std::size_t UndoAnchor = 0, UndoCaret = 0;
  std::shared_ptr<const TFont> Font;
};

DWORD StyleOf(HWND h) {
  return DWORD(GetWindowLongPtr(h, GWL_STYLE));
}
bool Multi(HWND h) {
  return StyleOf(h) & ES_MULTILINE;
}
bool Wraps(HWND h) {
  DWORD s = StyleOf(h);
  return (s & ES_MULTILINE) && !(s & (ES_AUTOHSCROLL | WS_HSCROLL));
}

// ---- Text helpers ----

// The code point at i; invalid bytes give U+FFFD. *next is NextChar(i).
char32_t Decode(std::string_view s, std::size_t i, std::size_t* next) {
  const std::size_t n = NextChar(s, i);
  *next = n;
  const auto b0 = static_cast<unsigned char>(s[i]);
  const std::size_t len = n - i;
  if (b0 < 0x80) return len == 1 ? b0 : U'\uFFFD';
  int need = b0 >= 0xF0 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC0 ? 2 : 0;
  if (need == 0 || std::size_t(need) != len || b0 > 0xF4) return U'\uFFFD';
  char32_t cp = b0 & (0x7F >> need);
  for (std::size_t k = 1; k < len; ++k)
    cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  return cp;
}

bool IsSpace(char32_t c) {
  return c == U' ' || c == U'\t' || c == U'\r' || c == U'\n' || c == 0xA0;
}

// Multi-line text keeps "\r\n" line ends.
std::string NormaliseBreaks(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r') {
      out += "\r\n";
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else if (s[i] == '\n') {
      out += "\r\n";
    } else {
      out += s[i];
    }
  }
  return out;
}

// A single-line edit takes only the first line of pasted text.
std::string FirstLineOf(std::string_view s) {
  std::size_t e = s.find_first_of("\r\n");
  return std::string(s.substr(0, e));
}

// ---- Layout ----

class TLayout {
 public:
  TLayout(HWND h, TEditData* e) : h_(h), e_(e) {}

  const TFont& Font() const { return *e_->Font; }
  int LineHeight() const { return std::max(1, e_->Font->Metrics().Height); }
  int TabWidth() const { return 8 * std::max(1, e_->Font->Metrics().AveCharWidth); }

  // Advance of the character cp drawn at pen position x (tabs go to the next stop).
  int Advance(char32_t cp, int x) const {
    if (e_->PasswordChar) return Font().Advance(e_->PasswordChar);
    if (cp == U'\t' && Multi(h_)) {
      const int t = TabWidth();
      return t - (x % t);
    }
    return Font().Advance(cp);
  }

  // Width of the bytes [from, to) of one line, starting at pen x = 0.
  int Width(std::size_t from, std::size_t to) const {
    int x = 0;
    const std::string& s = e_->Text;
    for (std::size_t i = from, n; i < to; i = n) x += Advance(Decode(s, i, &n), x);
    return x;
  }

  // The rectangle the text is laid out in (client coordinates).
  TRect FormatRect() const {
    if (e_->HasRect) return e_->FormatRect;
    TRect c;
    GetClientRect(h_, &c);
    TRect r = Rect(c.Left + e_->LeftMargin, c.Top, c.Right - e_->RightMargin, c.Bottom);
    if (!Multi(h_)) {
      // A single line sits at the top, one pixel down when there is room.
      if (c.Height() > LineHeight()) r.Top += 1;
    }
    if (r.Right < r.Left) r.Right = r.Left;
    if (r.Bottom < r.Top) r.Bottom = r.Top;
    return r;
  }

  int VisibleLines() const { return std::max(1, FormatRect().Height() / LineHeight()); }

  // Lays out the paragraphs starting at byte `from` (a paragraph start): up
  // to the paragraph starting at byte `to`, or to the end of the text when
  // toEnd is set.
  void Wrap(std::size_t from, std::size_t to, bool toEnd, std::vector<TLine>& out) const {
    const std::string& s = e_->Text;
    const bool multi = Multi(h_);
    const bool wraps = Wraps(h_);
    const int width = std::max(1, FormatRect().Width());
    std::size_t pos = from;
    while (true) {
      std::size_t end = multi ? s.find("\r\n", pos) : std::string::npos;
      const bool hard = end != std::string::npos;
      if (!hard) end = s.size();
      const std::size_t next = hard ? end + 2 : end;
      if (!wraps) {
        out.push_back({pos, end, next, Width(pos, end), hard});
      } else {
        WrapParagraph(pos, end, next, hard, width, out);
      }
      if (!hard) break;
      pos = next;
      if (!toEnd && pos >= to) break;
    }
  }

  // Re-lays out everything.
  void Full() {
    e_->Lines.clear();
    Wrap(0, e_->Text.size(), true, e_->Lines);
    UpdateMaxWidth();
  }

  // The text had [a, a + oldLen) replaced by newLen bytes: re-lays out the
  // paragraphs around the change and moves the lines after it.
  void Changed(std::size_t a, std::size_t oldLen, std::size_t newLen) {
    std::vector<TLine>& lines = e_->Lines;
    if (lines.empty()) return Full();
    const std::ptrdiff_t delta = std::ptrdiff_t(newLen) - std::ptrdiff_t(oldLen);
    // The paragraph holding a starts after the previous hard break.
    std::size_t first = std::size_t(LineOf(a));
    while (first > 0 && !lines[first - 1].Hard) --first;
    std::size_t last = std::size_t(LineOf(a + oldLen));
    while (last + 1 < lines.size() && !lines[last].Hard) ++last;
    const std::size_t from = lines[first].Start;
    const bool toEnd = last + 1 >= lines.size();
    const std::size_t to =
        toEnd ? e_->Text.size() : std::size_t(std::ptrdiff_t(lines[last].Next) + delta);
    std::vector<TLine> fresh;
    Wrap(from, to, toEnd, fresh);
    for (std::size_t i = last + 1; i < lines.size(); ++i) {
      TLine& l = lines[i];
      l.Start = std::size_t(std::ptrdiff_t(l.Start) + delta);
      l.End = std::size_t(std::ptrdiff_t(l.End) + delta);
      l.Next = std::size_t(std::ptrdiff_t(l.Next) + delta);
    }
    lines.erase(lines.begin() + std::ptrdiff_t(first), lines.begin() + std::ptrdiff_t(last + 1));
    lines.insert(lines.begin() + std::ptrdiff_t(first), fresh.begin(), fresh.end());
    UpdateMaxWidth();
  }

  void UpdateMaxWidth() {
    int m = 0;
    for (const TLine& l : e_->Lines) m = std::max(m, l.Width);
    e_->MaxWidth = m;
  }

  // The line holding byte pos (a position at a wrap belongs to the lower line).
  int LineOf(std::size_t pos) const {
    const std::vector<TLine>& lines = e_->Lines;
    auto it = std::upper_bound(lines.begin(), lines.end(), pos,
                               [](std::size_t p, const TLine& l) { return p < l.Start; });
    if (it == lines.begin()) return 0;
    return int(it - lines.begin()) - 1;
  }

  // Pen x of a line's first character (alignment and horizontal scroll applied).
  int LineX(const TLine& l) const {
    TRect fr = FormatRect();
    DWORD style = StyleOf(h_);
    int x = fr.Left;
    const bool fits = l.Width <= fr.Width();
    if ((style & ES_CENTER) == ES_CENTER && (fits || Multi(h_)))
      x = fr.Left + (fr.Width() - l.Width) / 2;
    else if ((style & ES_RIGHT) && (fits || Multi(h_)))
      x = fr.Right - l.Width;
    return x - e_->XOffset;
  }

  // Client point of a position (the top of its line).
  TPoint PointOf(std::size_t pos) const {
    const int li = LineOf(pos);
    const TLine& l = e_->Lines[std::size_t(li)];
    TRect fr = FormatRect();
    int y = fr.Top + (li - (Multi(h_) ? e_->FirstLine : 0)) * LineHeight();
    return {LineX(l) + Width(l.Start, std::min(pos, l.End)), y};
  }

  // The position nearest to a client point.
  std::size_t PosAt(TPoint p) const {
    TRect fr = FormatRect();
    int li = 0;
    if (Multi(h_)) {
      const int dy = p.Y - fr.Top;
      li = e_->FirstLine + (dy < 0 ? -1 - (-dy - 1) / LineHeight() : dy / LineHeight());
      li = std::clamp(li, 0, int(e_->Lines.size()) - 1);
    }
    return PosInLine(std::size_t(li), p.X);
  }

  // The position in a line nearest to client x.
  std::size_t PosInLine(std::size_t li, int cx) const {
    const TLine& l = e_->Lines[li];
    const std::string& s = e_->Text;
    int x = LineX(l);
    std::size_t i = l.Start;
    int pen = 0;
    while (i < l.End) {
      std::size_t n;
      const int w = Advance(Decode(s, i, &n), pen);
      if (cx < x + pen + (w + 1) / 2) return i;
      pen += w;
      i = n;
    }
    // At a soft wrap the end of the line is the start of the next one.
    if (!l.Hard && l.Next == l.End && l.End < s.size() && li + 1 < e_->Lines.size())
      return PrevChar(s, l.End);
    return l.End;
  }

 private:
  void WrapParagraph(std::size_t pos, std::size_t end, std::size_t next, bool hard, int width,
                     std::vector<TLine>& out) const {
    const std::string& s = e_->Text;
    if (pos == end) {
      out.push_back({pos, end, next, 0, hard});
      return;
    }
    std::size_t start = pos;
    while (start < end) {
      int x = 0;
      std::size_t i = start, lastBreak = std::string::npos;
      int widthAtBreak = 0;
      while (i < end) {
        std::size_t n;
        const char32_t c = Decode(s, i, &n);
        const int w = Advance(c, x);
        if (x + w > width && !IsSpace(c) && i > start) break;
        x += w;
        i = n;
        if (c == U' ' || c == U'\t') {
          lastBreak = i;
          widthAtBreak = x;
        }
      }
      if (i >= end) {
        out.push_back({start, end, next, x, hard});
        return;
      }
      // Break after the last space of the line, or inside a word too long for one.
      std::size_t cut = lastBreak != std::string::npos ? lastBreak : i;
      int w = lastBreak != std::string::npos ? widthAtBreak : x;
      out.push_back({start, cut, cut, w, false});
      start = cut;
    }
  }

  HWND h_;
  TEditData* e_;
};

// ---- The control ----

// The edit's object: its text and layout (TEditData, which the layout reads)
// and the procedure. A notification may destroy the window; the object then
// lives on, marked Dead, until the outermost message returns, so every step
// after a notification checks Dead instead of looking the object up again.
class TEdit : public TEditData {
 public:
  explicit TEdit(HWND h) : h_(h) {}
  LRESULT Proc(UINT msg, WPARAM wp, LPARAM lp);

  int Depth = 0;
  bool Dead = false;

 private:
  void Notify(UINT code);
  std::size_t Snap(std::size_t pos);
  void UpdateScrollBars();
  void PlaceCaret();
  bool ScrollToCaret();
  void Refresh();
  void SetSelection(std::size_t anchor, std::size_t caret);
  void SaveUndo(TUndoKind kind);
  bool ReplaceSelection(std::string text, bool user, TUndoKind undo);
  void SetText(std::string_view text);
  bool ReadOnly() const;
  std::string Selected() const;
  void Copy();
  void Paste();
  void Undo();
  void SelectWordAt(std::size_t pos);
  std::size_t MoveLeft(std::size_t pos);
  std::size_t MoveRight(std::size_t pos);
  std::size_t MoveLines(int delta);
  void KeyDownMove(int vk);
  void PaintLine(TDC& dc, const TLayout& lay, std::size_t li, int y, TColor text, TColor back,
                 bool showSel);
  void Paint(TDC& dc);
  void ScrollLines(int delta);
  void ScrollPixels(int dx);
  LRESULT OnScroll(UINT msg, WPARAM wp);
  void OnChar(WPARAM ch);
  void OnKeyDown(WPARAM vk);

  HWND h_;
};

// ---- State changes ----

void TEdit::Notify(UINT code) {
  NotifyCommand(h_, code);
}

std::size_t TEdit::Snap(std::size_t pos) {
  const std::string& s = Text;
  if (pos > s.size()) pos = s.size();
  while (pos > 0 && pos < s.size() && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80) --pos;
  if (Multi(h_) && pos > 0 && pos < s.size() && s[pos - 1] == '\r' && s[pos] == '\n') --pos;
  return pos;
}

void TEdit::UpdateScrollBars() {
  const DWORD style = StyleOf(h_);
  TLayout lay(h_, this);
  if (style & WS_VSCROLL) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = std::max(0, int(Lines.size()) - 1);
    si.nPage = UINT(lay.VisibleLines());
    si.nPos = FirstLine;
    SetScrollInfo(h_, SB_VERT, &si, true);
  }
  if (style & WS_HSCROLL) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = std::max(0, MaxWidth);
    si.nPage = UINT(lay.FormatRect().Width());
    si.nPos = XOffset;
    SetScrollInfo(h_, SB_HORZ, &si, true);
  }
}

void TEdit::PlaceCaret() {
  if (!Focused) return;
  TLayout lay(h_, this);
  TPoint p = lay.PointOf(Caret);
  SetCaretPos(p.X, p.Y);
}

// Scrolls so that the caret is visible; returns whether anything moved.
bool TEdit::ScrollToCaret() {
  TLayout lay(h_, this);
  bool moved = false;
  if (Multi(h_)) {
    const int li = lay.LineOf(Caret);
    const int vis = lay.VisibleLines();
    int first = FirstLine;
    if (li < first) first = li;
    if (li >= first + vis) first = li - vis + 1;
    if (first != FirstLine) {
      FirstLine = first;
      moved = true;
      Notify(EN_VSCROLL);
    }
  }
  const DWORD style = StyleOf(h_);
  const bool hscroll = Multi(h_) ? !Wraps(h_) : (style & ES_AUTOHSCROLL) != 0;
  if (hscroll) {
    TRect fr = lay.FormatRect();
    const TLine& l = Lines[std::size_t(lay.LineOf(Caret))];
    const int x = lay.LineX(l) + XOffset + lay.Width(l.Start, std::min(Caret, l.End));
    int off = XOffset;
    const int jump = std::max(1, fr.Width() / 4);
    if (x - off < fr.Left) off = std::max(0, x - fr.Left - jump);
    if (x - off >= fr.Right) off = x - fr.Right + jump;
    // Never leave empty room at the right when the text has shrunk.
    off = std::min(off, std::max(0, std::max(MaxWidth, x - fr.Left + 1) - fr.Width() + 1));
    off = std::max(0, off);
    if (off != XOffset) {
      XOffset = off;
      moved = true;
      Notify(EN_HSCROLL);
    }
  }
  return moved;
}

void TEdit::Refresh() {
  ScrollToCaret();
  if (Dead) return;
  UpdateScrollBars();
  PlaceCaret();
  InvalidateRect(h_, nullptr, false);
}

void TEdit::SetSelection(std::size_t anchor, std::size_t caret) {
  anchor = Snap(anchor);
  caret = Snap(caret);
  if (anchor == Anchor && caret == Caret) return;
  Anchor = anchor;
  Caret = caret;
  LastKind = TUndoKind::None;
  Refresh();
}

void TEdit::SaveUndo(TUndoKind kind) {
  if (kind == TUndoKind::Typing && LastKind == TUndoKind::Typing && CanUndo) return;
  UndoText = Text;
  UndoAnchor = Anchor;
  UndoCaret = Caret;
  CanUndo = true;
  LastKind = kind;
}

// Replaces the selection with text (already normalised); the caret goes
// after it. Returns false when nothing could be inserted.
bool TEdit::ReplaceSelection(std::string text, bool user, TUndoKind undo) {
  std::size_t a = std::min(Anchor, Caret), b = std::max(Anchor, Caret);
  if (user) {
    // Typing and pasting stop at the limit; what fits goes in.
    const std::size_t room = Limit > Text.size() - (b - a) ? Limit - (Text.size() - (b - a)) : 0;
    if (text.size() > room) {
      std::size_t n = room;
      while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
      if (n > 0 && text[n - 1] == '\r' && n < text.size() && text[n] == '\n') --n;
      text.resize(n);
      Notify(EN_MAXTEXT);
      if (Dead) return false;
      if (text.empty() && a == b) return false;
    }
  }
  if (text.empty() && a == b) return false;
  if (undo != TUndoKind::None) SaveUndo(undo);
  const std::string before = user ? Text : std::string();
  const std::size_t oldAnchor = Anchor, oldCaret = Caret;
  Text.replace(a, b - a, text);
  TLayout lay(h_, this);
  lay.Changed(a, b - a, text.size());
  if (user) {
    // A field that does not scroll refuses what does not fit in it.
    const DWORD style = StyleOf(h_);
    bool over = false;
    if (!Multi(h_) && !(style & ES_AUTOHSCROLL)) over = MaxWidth > lay.FormatRect().Width();
    if (Multi(h_) && !(style & (ES_AUTOVSCROLL | WS_VSCROLL)))
      over = int(Lines.size()) > lay.VisibleLines();
    if (over) {
      Text = before;
      Anchor = oldAnchor;
      Caret = oldCaret;
      lay.Full();
      Notify(EN_MAXTEXT);
      return false;
    }
  }
  Anchor = Caret = a + text.size();
  Modified = true;
  WantCaretX = -1;
  Notify(EN_UPDATE);
  if (Dead) return true;
  Refresh();
  Notify(EN_CHANGE);
  return true;
}

void TEdit::SetText(std::string_view text) {
  Text = Multi(h_) ? NormaliseBreaks(text) : std::string(text);
  Anchor = Caret = 0;
  FirstLine = 0;
  XOffset = 0;
  Modified = false;
  CanUndo = false;
  LastKind = TUndoKind::None;
  WantCaretX = -1;
  TLayout(h_, this).Full();
}

bool TEdit::ReadOnly() const {
  return StyleOf(h_) & ES_READONLY;
}

std::string TEdit::Selected() const {
  std::size_t a = std::min(Anchor, Caret), b = std::max(Anchor, Caret);
  return Text.substr(a, b - a);
}

void TEdit::Copy() {
  // A password is never copied out of its field.
  if (PasswordChar || Anchor == Caret) return;
  if (THost* host = GetHost()) host->SetClipboardText(Selected());
}

void TEdit::Paste() {
  if (ReadOnly()) return;
  THost* host = GetHost();
  if (!host) return;
  std::optional<std::string> clip = host->ClipboardText();
  if (!clip || clip->empty()) return;
  if (Dead) return;
  std::string text = Multi(h_) ? NormaliseBreaks(*clip) : FirstLineOf(*clip);
  // A number field takes digits only, from the clipboard as from the keyboard.
  if (StyleOf(h_) & ES_NUMBER) {
    if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) return;
  }
  ReplaceSelection(std::move(text), true, TUndoKind::Other);
}

void TEdit::Undo() {
  if (!CanUndo) return;
  std::string text = UndoText;
  std::size_t anchor = UndoAnchor, caret = UndoCaret;
  UndoText = Text;
  UndoAnchor = Anchor;
  UndoCaret = Caret;
  Text = std::move(text);
  LastKind = TUndoKind::None;
  TLayout(h_, this).Full();
  Anchor = Snap(anchor);
  Caret = Snap(caret);
  Modified = true;
  Notify(EN_UPDATE);
  if (Dead) return;
  Refresh();
  Notify(EN_CHANGE);
}

// ---- Movement ----

std::size_t WordLeft(const std::string& s, std::size_t pos) {
  std::size_t n;
  while (pos > 0) {
    std::size_t p = PrevChar(s, pos);
    if (!IsSpace(Decode(s, p, &n))) break;
    pos = p;
  }
  while (pos > 0) {
    std::size_t p = PrevChar(s, pos);
    if (IsSpace(Decode(s, p, &n))) break;
    pos = p;
  }
  return pos;
}

std::size_t WordRight(const std::string& s, std::size_t pos) {
  std::size_t n;
  while (pos < s.size() && !IsSpace(Decode(s, pos, &n))) pos = n;
  while (pos < s.size() && IsSpace(Decode(s, pos, &n))) pos = n;
  return pos;
}

void TEdit::SelectWordAt(std::size_t pos) {
  const std::string& s = Text;
  std::size_t n, a = pos, b = pos;
  if (pos < s.size() && IsSpace(Decode(s, pos, &n)) && pos > 0 &&
      !IsSpace(Decode(s, PrevChar(s, pos), &n)))
    a = b = PrevChar(s, pos);  // a click just after a word picks that word
  while (a > 0) {
    std::size_t p = PrevChar(s, a);
    if (IsSpace(Decode(s, p, &n))) break;
    a = p;
  }
  while (b < s.size() && !IsSpace(Decode(s, b, &n))) b = n;
  SetSelection(a, b);
}

std::size_t TEdit::MoveLeft(std::size_t pos) {
  if (pos == 0) return 0;
  const std::string& s = Text;
  if (Multi(h_) && pos >= 2 && s[pos - 1] == '\n' && s[pos - 2] == '\r') return pos - 2;
  return PrevChar(s, pos);
}

std::size_t TEdit::MoveRight(std::size_t pos) {
  const std::string& s = Text;
  if (pos >= s.size()) return s.size();
  if (Multi(h_) && s.compare(pos, 2, "\r\n") == 0) return pos + 2;
  return NextChar(s, pos);
}

std::size_t TEdit::MoveLines(int delta) {
  TLayout lay(h_, this);
  const int li = lay.LineOf(Caret);
  if (WantCaretX < 0) WantCaretX = lay.PointOf(Caret).X;
  const int target = std::clamp(li + delta, 0, int(Lines.size()) - 1);
  if (target == li) return delta < 0 ? Lines[std::size_t(li)].Start : Lines[std::size_t(li)].End;
  // Scroll first for page moves, so the column maps through the new position.
  return lay.PosInLine(std::size_t(target), WantCaretX);
}

void TEdit::KeyDownMove(int vk) {
  const bool shift = ctl::KeyDown(VK_SHIFT), ctrl = ctl::KeyDown(VK_CONTROL);
  TLayout lay(h_, this);
  std::size_t pos = Caret;
  const bool hadSel = Anchor != Caret;
  const int keepX = WantCaretX;
  switch (vk) {
    case VK_LEFT:
      if (!shift && hadSel && !ctrl)
        pos = std::min(Anchor, Caret);
      else
        pos = ctrl ? WordLeft(Text, pos) : MoveLeft(pos);
      break;
    case VK_RIGHT:
      if (!shift && hadSel && !ctrl)
        pos = std::max(Anchor, Caret);
      else
        pos = ctrl ? WordRight(Text, pos) : MoveRight(pos);
      break;
    case VK_HOME:
      pos = ctrl || !Multi(h_) ? 0 : Lines[std::size_t(lay.LineOf(pos))].Start;
      break;
    case VK_END:
      pos = ctrl || !Multi(h_) ? Text.size() : Lines[std::size_t(lay.LineOf(pos))].End;
      break;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: {
      if (!Multi(h_)) {
        // A single-line field moves as Left/Right would.
        if (vk == VK_UP) pos = MoveLeft(pos);
        if (vk == VK_DOWN) pos = MoveRight(pos);
        break;
      }
      const int page = std::max(1, lay.VisibleLines() - 1);
      const int delta = vk == VK_UP ? -1 : vk == VK_DOWN ? 1 : vk == VK_PRIOR ? -page : page;
      if (vk == VK_PRIOR || vk == VK_NEXT) {
        const int maxFirst = std::max(0, int(Lines.size()) - lay.VisibleLines());
        FirstLine = std::clamp(FirstLine + delta, 0, maxFirst);
      }
      pos = MoveLines(delta);
      break;
    }
    default:
      return;
  }
  const int wantX = WantCaretX;
  SetSelection(shift ? Anchor : pos, pos);
  if (Dead) return;
  // Up and Down remember the column; every other move forgets it.
  const bool vertical = vk == VK_UP || vk == VK_DOWN || vk == VK_PRIOR || vk == VK_NEXT;
  WantCaretX = vertical && Multi(h_) ? (keepX >= 0 ? keepX : wantX) : -1;
  Refresh();
}

// ---- Painting ----

void TEdit::PaintLine(TDC& dc, const TLayout& lay, std::size_t li, int y, TColor text, TColor back,
                      bool showSel) {
  const TLine& l = Lines[li];
  const std::string& s = Text;
  std::size_t sa = std::min(Anchor, Caret), sb = std::max(Anchor, Caret);
  if (!showSel) sa = sb = 0;
  const int x0 = lay.LineX(l);
  const int height = lay.LineHeight();
  TRect clip = dc.ClipBox();
  // Runs of characters in one colour, split at tabs and at the selection's ends.
  std::string run;
  int runX = x0, pen = 0;
  bool runSel = false;
  auto flush = [&](int endPen) {
    if (runX - x0 < endPen || !run.empty()) {
      const TRect cell = Rect(runX, y, x0 + endPen, y + height);
      if (runSel) dc.FillRect(cell, Sys(COLOR_HIGHLIGHT));
      if (!run.empty() && cell.Right >= clip.Left && cell.Left <= clip.Right) {
        dc.SetTextColor(runSel ? Sys(COLOR_HIGHLIGHTTEXT) : text);
        dc.TextOut(runX, y, run);
      }
    }
    run.clear();
    runX = x0 + endPen;
  };
  (void)back;
  std::string pw;
  if (PasswordChar) pw = Utf32ToUtf8(std::u32string(1, PasswordChar));
  for (std::size_t i = l.Start, n; i < l.End; i = n) {
    const char32_t c = Decode(s, i, &n);
    const bool sel = i >= sa && i < sb;
    const int w = lay.Advance(c, pen);
    if (sel != runSel || c == U'\t') {
      flush(pen);
      runSel = sel;
    }
    if (x0 + pen > clip.Right) break;
    if (c == U'\t') {
      if (sel) dc.FillRect(Rect(x0 + pen, y, x0 + pen + w, y + height), Sys(COLOR_HIGHLIGHT));
      pen += w;
      runX = x0 + pen;
      continue;
    }
    if (PasswordChar)
      run += pw;
    else
      run.append(s, i, n - i);
    pen += w;
  }
  flush(pen);
  // A selected line break shows as a little selected cell.
  if (showSel && l.Hard && l.End >= sa && l.End < sb)
    dc.FillRect(Rect(x0 + pen, y, x0 + pen + std::max(2, lay.Font().Advance(U' ')), y + height),
                Sys(COLOR_HIGHLIGHT));
}

void TEdit::Paint(TDC& dc) {
  TRect client;
  GetClientRect(h_, &client);
  TDCSaver save(dc);
  dc.SelectFont(Font);
  const bool enabled = IsWindowEnabled(h_);
  const bool grey = !enabled || ReadOnly();
  TColor back = AskColors(h_, grey ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT, &dc,
                          enabled ? Sys(COLOR_WINDOWTEXT) : Sys(COLOR_GRAYTEXT),
                          grey ? Sys(COLOR_BTNFACE) : Sys(COLOR_WINDOW));
  if (Dead) return;
  // A disabled field's text is grey whatever the parent chose.
  TColor text = enabled ? dc.TextColor() : Sys(COLOR_GRAYTEXT);
  dc.FillRect(client, back);
  dc.SetBkMode(TRANSPARENT);
  TLayout lay(h_, this);
  TRect fr = lay.FormatRect();
  dc.IntersectClipRect(Rect(fr.Left, client.Top, fr.Right, client.Bottom));
  const bool showSel = Focused || (StyleOf(h_) & ES_NOHIDESEL);
  const int lh = lay.LineHeight();
  const int first = Multi(h_) ? FirstLine : 0;
  const int count = Multi(h_) ? (fr.Height() + lh - 1) / lh : 1;
  for (int i = 0; i < count; ++i) {
    const int li = first + i;
    if (li < 0 || li >= int(Lines.size())) break;
    PaintLine(dc, lay, std::size_t(li), fr.Top + i * lh, text, back, showSel);
  }
}

// ---- Scrolling ----

void TEdit::ScrollLines(int delta) {
  if (!Multi(h_)) return;
  TLayout lay(h_, this);
  const int maxFirst = std::max(0, int(Lines.size()) - lay.VisibleLines());
  const int first = std::clamp(FirstLine + delta, 0, maxFirst);
  if (first == FirstLine) return;
  FirstLine = first;
  UpdateScrollBars();
  PlaceCaret();
  InvalidateRect(h_, nullptr, false);
  Notify(EN_VSCROLL);
}

void TEdit::ScrollPixels(int dx) {
  TLayout lay(h_, this);
  const int maxOff = std::max(0, MaxWidth - lay.FormatRect().Width() + 1);
  const int off = std::clamp(XOffset + dx, 0, maxOff);
  if (off == XOffset) return;
  XOffset = off;
  UpdateScrollBars();
  PlaceCaret();
  InvalidateRect(h_, nullptr, false);
  Notify(EN_HSCROLL);
}

LRESULT TEdit::OnScroll(UINT msg, WPARAM wp) {
  TLayout lay(h_, this);
  const int code = LOWORD(wp);
  if (msg == WM_VSCROLL) {
    const int page = std::max(1, lay.VisibleLines() - 1);
    switch (code) {
      case SB_LINEUP:
        ScrollLines(-1);
        break;
      case SB_LINEDOWN:
        ScrollLines(1);
        break;
      case SB_PAGEUP:
        ScrollLines(-page);
        break;
      case SB_PAGEDOWN:
        ScrollLines(page);
        break;
      case SB_TOP:
        ScrollLines(-FirstLine);
        break;
      case SB_BOTTOM:
        ScrollLines(int(Lines.size()));
        break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION:
        ScrollLines(int(std::int16_t(HIWORD(wp))) - FirstLine);
        break;
    }
  } else {
    const int line = std::max(1, lay.Font().Metrics().AveCharWidth);
    const int page = std::max(1, lay.FormatRect().Width() - line);
    switch (code) {
      case SB_LINELEFT:
        ScrollPixels(-line);
        break;
      case SB_LINERIGHT:
        ScrollPixels(line);
        break;
      case SB_PAGELEFT:
        ScrollPixels(-page);
        break;
      case SB_PAGERIGHT:
        ScrollPixels(page);
        break;
      case SB_LEFT:
        ScrollPixels(-XOffset);
        break;
      case SB_RIGHT:
        ScrollPixels(MaxWidth);
        break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION:
        ScrollPixels(int(std::int16_t(HIWORD(wp))) - XOffset);
        break;
    }
  }
  return 0;
}

// ---- Characters ----

void TEdit::OnChar(WPARAM ch) {
  const bool ro = ReadOnly();
  switch (ch) {
    case 0x01:  // Ctrl+A
      SetSelection(0, Text.size());
      return;
    case 0x03:  // Ctrl+C
      Copy();
      return;
    case 0x16:  // Ctrl+V
      Paste();
      return;
    case 0x18:  // Ctrl+X
      if (!ro && !PasswordChar && Anchor != Caret) {
        Copy();
        if (!Dead) ReplaceSelection({}, true, TUndoKind::Other);
      }
      return;
    case 0x1A:  // Ctrl+Z
      if (!ro) Undo();
      return;
    case 0x08:  // Backspace
      if (ro) return;
      if (Anchor == Caret) {
        if (Caret == 0) return;
        Anchor = MoveLeft(Caret);
      }
      ReplaceSelection({}, true, TUndoKind::Other);
      return;
    case '\r':
    case '\n':
      if (ro || !Multi(h_)) return;
      ReplaceSelection("\r\n", true, TUndoKind::Other);
      return;
    case '\t':
      if (ro || !Multi(h_)) return;
      break;
    default:
      if (ch < 0x20 || ch == 0x7F || ro) return;
  }
  if (ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) return;
  if ((StyleOf(h_) & ES_NUMBER) && !(ch >= '0' && ch <= '9')) return;
  std::string utf8 = Utf32ToUtf8(std::u32string(1, char32_t(ch)));
  ReplaceSelection(std::move(utf8), true, TUndoKind::Typing);
}

void TEdit::OnKeyDown(WPARAM vk) {
  const bool shift = ctl::KeyDown(VK_SHIFT), ctrl = ctl::KeyDown(VK_CONTROL);
  switch (vk) {
    case VK_DELETE:
      if (ReadOnly()) return;
      if (shift && Anchor != Caret) {  // Shift+Delete cuts
        SendMessage(h_, WM_CUT, 0, 0);
        return;
      }
      if (Anchor == Caret) {
        if (Caret >= Text.size()) return;
        Anchor = ctrl ? WordRight(Text, Caret) : MoveRight(Caret);
      }
      ReplaceSelection({}, true, TUndoKind::Other);
      return;
    case VK_INSERT:
      if (ctrl) SendMessage(h_, WM_COPY, 0, 0);
      if (shift) SendMessage(h_, WM_PASTE, 0, 0);
      return;
    default:
      KeyDownMove(int(vk));
  }
}

LRESULT TEdit::Proc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCCREATE: {
      Font = FontOf(h_);
      auto* cs = reinterpret_cast<CREATESTRUCT*>(lp);
      // Passwords are single-line only, as on the platform.
      if (cs && (cs->style & ES_PASSWORD) && !(cs->style & ES_MULTILINE)) PasswordChar = U'*';
      SetText(cs && cs->lpszName ? cs->lpszName : "");
      return 1;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h_, &ps);
      if (dc) Paint(*dc);
      EndPaint(h_, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      if (wp) Paint(*reinterpret_cast<HDC>(wp));
      return 0;
    case WM_SIZE:
      if (!HasRect) {
        TLayout(h_, this).Full();
        if (Dead) return 0;
        Caret = Snap(Caret);
        Refresh();
      }
      return 0;
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      if (Multi(h_)) {
        code |= DLGC_WANTALLKEYS;
        // Tab and Escape keep moving through the dialog; Enter is the default
        // button's unless the edit wants it.
        if (const MSG* m = reinterpret_cast<const MSG*>(lp); m && m->message == WM_KEYDOWN) {
          if (m->wParam == VK_TAB || m->wParam == VK_ESCAPE ||
              (m->wParam == VK_RETURN && !(StyleOf(h_) & ES_WANTRETURN)))
            code &= ~DLGC_WANTALLKEYS;
        }
      }
      return code;
    }
    case WM_SETTEXT:
      // A single-line edit announces the new text; a multi-line one does
      // not (a program filling a memo sees no EN_UPDATE/EN_CHANGE).
      SetText(lp ? reinterpret_cast<const char*>(lp) : "");
      if (Multi(h_)) {
        Refresh();
        return 1;
      }
      Notify(EN_UPDATE);
      if (Dead) return 1;
      Refresh();
      Notify(EN_CHANGE);
      return 1;
    case WM_GETTEXT: {
      char* buf = reinterpret_cast<char*>(lp);
      if (!buf || wp == 0) return 0;
      std::size_t n = std::min(Text.size(), std::size_t(wp) - 1);
      while (n > 0 && n < Text.size() && (static_cast<unsigned char>(Text[n]) & 0xC0) == 0x80) --n;
      std::memcpy(buf, Text.data(), n);
      buf[n] = '\0';
      return LRESULT(n);
    }
    case WM_GETTEXTLENGTH:
      return LRESULT(Text.size());
    case WM_SETFONT:
      DefWindowProc(h_, msg, wp, 0);
      Font = FontOf(h_);
      TLayout(h_, this).Full();
      if (Focused) {
        CreateCaret(h_, nullptr, 1, TLayout(h_, this).LineHeight());
        ShowCaret(h_);
      }
      Refresh();
      return 0;
    case WM_SETFOCUS:
      Focused = true;
      CreateCaret(h_, nullptr, 1, TLayout(h_, this).LineHeight());
      PlaceCaret();
      ShowCaret(h_);
      InvalidateRect(h_, nullptr, false);
      Notify(EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      Focused = false;
      Tracking = false;
      DestroyCaret();
      InvalidateRect(h_, nullptr, false);
      Notify(EN_KILLFOCUS);
      return 0;
    case WM_ENABLE:
      InvalidateRect(h_, nullptr, false);
      return 0;
    case WM_STYLECHANGED:
      TLayout(h_, this).Full();
      Refresh();
      return 0;
    case WM_LBUTTONDOWN: {
      if (GetFocus() != h_) SetFocus(h_);
      if (Dead) return 0;
      TLayout lay(h_, this);
      const std::size_t pos = lay.PosAt({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      SetSelection((wp & MK_SHIFT) ? Anchor : pos, pos);
      if (Dead) return 0;
      WantCaretX = -1;
      Tracking = true;
      SetCapture(h_);
      return 0;
    }
    case WM_LBUTTONDBLCLK: {
      TLayout lay(h_, this);
      SelectWordAt(lay.PosAt({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}));
      return 0;
    }
    case WM_MOUSEMOVE:
      if (Tracking && (wp & MK_LBUTTON)) {
        TLayout lay(h_, this);
        const std::size_t pos = lay.PosAt({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        SetSelection(Anchor, pos);
      }
      return 0;
    case WM_LBUTTONUP:
      if (Tracking) {
        Tracking = false;
        if (GetCapture() == h_) ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lp) != h_) Tracking = false;
      return 0;
    case WM_MOUSEWHEEL:
      if (!Multi(h_)) return DefWindowProc(h_, msg, wp, lp);
      ScrollLines(-3 * GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA);
      return 0;
    case WM_CHAR:
      OnChar(wp);
      return 0;
    case WM_KEYDOWN:
      OnKeyDown(wp);
      return 0;
    case WM_VSCROLL:
    case WM_HSCROLL:
      return OnScroll(msg, wp);
    case WM_CUT:
      if (!ReadOnly() && !PasswordChar && Anchor != Caret) {
        Copy();
        if (!Dead) ReplaceSelection({}, true, TUndoKind::Other);
      }
      return 0;
    case WM_COPY:
      Copy();
      return 0;
    case WM_PASTE:
      Paste();
      return 0;
    case WM_CLEAR:
      if (!ReadOnly() && Anchor != Caret) ReplaceSelection({}, true, TUndoKind::Other);
      return 0;
    case WM_UNDO:
    case EM_UNDO:
      Undo();
      return 1;
    case EM_CANUNDO:
      return CanUndo ? 1 : 0;
    case EM_EMPTYUNDOBUFFER:
      CanUndo = false;
      UndoText.clear();
      return 0;
    case EM_GETSEL: {
      const std::size_t a = std::min(Anchor, Caret), b = std::max(Anchor, Caret);
      if (wp) *reinterpret_cast<DWORD*>(wp) = DWORD(a);
      if (lp) *reinterpret_cast<DWORD*>(lp) = DWORD(b);
      return MAKELONG(int(std::min<std::size_t>(a, 0xFFFF)), int(std::min<std::size_t>(b, 0xFFFF)));
    }
    case EM_SETSEL: {
      // -1 as the start removes the selection; -1 as the end means the end of the text.
      const auto start = std::intptr_t(wp), end = std::intptr_t(lp);
      if (start == -1 || std::int32_t(start) == -1) {
        SetSelection(Caret, Caret);
        return 0;
      }
      const std::size_t size = Text.size();
      auto clampPos = [&](std::intptr_t v) {
        return v < 0 ? size : std::min(std::size_t(v), size);
      };
      SetSelection(clampPos(start), clampPos(end));
      return 0;
    }
    case EM_REPLACESEL: {
      const char* text = reinterpret_cast<const char*>(lp);
      std::string s = text ? text : "";
      s = Multi(h_) ? NormaliseBreaks(s) : s;
      if (!wp) CanUndo = false;
      // The text limit holds for a program's insertion as for typing: what
      // does not fit is cut (EN_MAXTEXT), only WM_SETTEXT goes past it.
      ReplaceSelection(std::move(s), true, wp ? TUndoKind::Other : TUndoKind::None);
      if (!Dead && !wp) CanUndo = false;
      return 0;
    }
    case EM_SETREADONLY: {
      LONG_PTR style = GetWindowLongPtr(h_, GWL_STYLE);
      SetWindowLongPtr(h_, GWL_STYLE,
                       wp ? (style | ES_READONLY) : (style & ~LONG_PTR(ES_READONLY)));
      InvalidateRect(h_, nullptr, false);
      return 1;
    }
    case EM_LIMITTEXT:
      // 0 lifts the limit: as far as a single line may go, or the whole
      // 32-bit range for a multi-line edit.
      Limit = wp == 0 ? (Multi(h_) ? MultiNoLimit : NoLimit) : std::size_t(DWORD(wp));
      if (!Multi(h_)) Limit = std::min(Limit, NoLimit);
      return 0;
    case EM_GETLIMITTEXT:
      return LRESULT(Limit);
    case EM_GETLINECOUNT:
      return Multi(h_) ? LRESULT(Lines.size()) : 1;
    case EM_GETFIRSTVISIBLELINE:
      if (Multi(h_)) return FirstLine;
      return LRESULT(TLayout(h_, this).PosInLine(0, TLayout(h_, this).FormatRect().Left));
    case EM_LINEINDEX: {
      const auto line = std::intptr_t(wp);
      TLayout lay(h_, this);
      if (line == -1 || std::int32_t(line) == -1)
        return LRESULT(Lines[std::size_t(lay.LineOf(Caret))].Start);
      if (line < 0 || line >= std::intptr_t(Lines.size())) return -1;
      return LRESULT(Lines[std::size_t(line)].Start);
    }
    case EM_LINELENGTH: {
      const auto pos = std::intptr_t(wp);
      TLayout lay(h_, this);
      if (pos == -1 || std::int32_t(pos) == -1) {
        // The characters of the selection's lines that are not selected.
        const std::size_t a = std::min(Anchor, Caret), b = std::max(Anchor, Caret);
        const TLine& la = Lines[std::size_t(lay.LineOf(a))];
        const TLine& lb = Lines[std::size_t(lay.LineOf(b))];
        return LRESULT((a - la.Start) + (lb.End > b ? lb.End - b : 0));
      }
      if (pos < 0) return 0;
      const TLine& l = Lines[std::size_t(lay.LineOf(std::min(std::size_t(pos), Text.size())))];
      return LRESULT(l.End - l.Start);
    }
    case EM_LINEFROMCHAR: {
      const auto pos = std::intptr_t(wp);
      TLayout lay(h_, this);
      if (pos == -1 || std::int32_t(pos) == -1) return lay.LineOf(std::min(Anchor, Caret));
      if (pos < 0) return 0;
      return lay.LineOf(std::min(std::size_t(pos), Text.size()));
    }
    case EM_GETLINE: {
      // wParam: the line; lParam: a buffer whose first two bytes give its size.
      // A single-line edit has one line and ignores the number.
      char* buf = reinterpret_cast<char*>(lp);
      if (!Multi(h_)) wp = 0;
      if (!buf || std::intptr_t(wp) < 0 || wp >= Lines.size()) return 0;
      std::uint16_t size;
      std::memcpy(&size, buf, sizeof size);
      const TLine& l = Lines[wp];
      std::size_t n = std::min<std::size_t>(l.End - l.Start, size);
      while (n > 0 && l.Start + n < l.End &&
             (static_cast<unsigned char>(Text[l.Start + n]) & 0xC0) == 0x80)
        --n;
      std::memcpy(buf, Text.data() + l.Start, n);
      return LRESULT(n);  // not terminated, as on the platform
    }
    case EM_LINESCROLL:
      if (!Multi(h_)) return 0;
      if (int(lp)) ScrollLines(int(lp));
      if (!Dead && int(wp)) ScrollPixels(int(wp) * std::max(1, Font->Metrics().AveCharWidth));
      return 1;
    case EM_SCROLL: {
      // Lines and pages only; answers the lines moved (and TRUE), or FALSE
      // when nothing moved, for a single-line edit and for other codes.
      const int code = LOWORD(wp);
      if (!Multi(h_) ||
          (code != SB_LINEUP && code != SB_LINEDOWN && code != SB_PAGEUP && code != SB_PAGEDOWN))
        return 0;
      const int before = FirstLine;
      OnScroll(WM_VSCROLL, wp);
      if (Dead || FirstLine == before) return 0;
      return MAKELONG(FirstLine - before, 1);
    }
    case EM_SCROLLCARET:
      Refresh();
      return 1;
    case EM_GETMODIFY:
      return Modified ? 1 : 0;
    case EM_SETMODIFY:
      Modified = wp != 0;
      return 0;
    case EM_GETRECT:
      if (lp) *reinterpret_cast<TRect*>(lp) = TLayout(h_, this).FormatRect();
      return 0;
    case EM_SETRECT:
    case EM_SETRECTNP:
      if (lp) {
        HasRect = true;
        FormatRect = *reinterpret_cast<const TRect*>(lp);
      } else {
        HasRect = false;
      }
      TLayout(h_, this).Full();
      if (msg == EM_SETRECT) Refresh();
      return 0;
    case EM_SETMARGINS: {
      const int avg = std::max(1, Font->Metrics().AveCharWidth / 2);
      if (wp & EC_LEFTMARGIN) LeftMargin = LOWORD(lp) == EC_USEFONTINFO ? avg : LOWORD(lp);
      if (wp & EC_RIGHTMARGIN) RightMargin = HIWORD(lp) == EC_USEFONTINFO ? avg : HIWORD(lp);
      TLayout(h_, this).Full();
      Refresh();
      return 0;
    }
    case EM_GETMARGINS:
      return MAKELONG(LeftMargin, RightMargin);
    case EM_SETPASSWORDCHAR:
      if (Multi(h_)) return 0;
      PasswordChar = char32_t(wp);
      TLayout(h_, this).Full();
      Refresh();
      return 0;
    case EM_GETPASSWORDCHAR:
      return LRESULT(PasswordChar);
    case EM_POSFROMCHAR: {
      // Only a character has a position: the end of the text answers -1.
      if (std::intptr_t(wp) < 0 || wp >= Text.size()) return -1;
      TPoint p = TLayout(h_, this).PointOf(Snap(std::size_t(wp)));
      return MAKELONG(p.X, p.Y);
    }
    case EM_CHARFROMPOS: {
      TLayout lay(h_, this);
      const std::size_t pos = lay.PosAt({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      return MAKELONG(int(std::min<std::size_t>(pos, 0xFFFF)), lay.LineOf(pos));
    }
  }
  return DefWindowProc(h_, msg, wp, lp);
}

LRESULT EditProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  return DispatchToObject<TEdit>(h, msg, wp, lp);
}

}  // namespace

void RegisterEditClass() {
  RegisterControlClass(WC_EDIT, &EditProc, CS_DBLCLKS, clNone, IDC_IBEAM);
}

}  // namespace vm
