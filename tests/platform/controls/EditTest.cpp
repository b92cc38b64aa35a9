#include <random>

#include "ControlTestSupport.h"

namespace vm::test {
namespace {

class EditTest : public TControlTest {
 protected:
  HWND Single(std::string_view text = "", DWORD style = ES_AUTOHSCROLL, int w = 150) {
    HWND e = Make(WC_EDIT, text, style | WS_TABSTOP, 10, 10, w, 21, 100, WS_EX_CLIENTEDGE);
    SetFocus(e);
    Pump();
    return e;
  }
  HWND Memo(std::string_view text = "", DWORD style = ES_AUTOVSCROLL, int w = 200, int h = 100) {
    HWND e = Make(WC_EDIT, text, ES_MULTILINE | style, 10, 40, w, h, 101, WS_EX_CLIENTEDGE);
    SetFocus(e);
    Pump();
    return e;
  }
  std::pair<DWORD, DWORD> Sel(HWND e) {
    DWORD a = 0, b = 0;
    SendMessage(e, EM_GETSEL, WPARAM(&a), LPARAM(&b));
    return {a, b};
  }
  void SetSel(HWND e, std::intptr_t a, std::intptr_t b) {
    SendMessage(e, EM_SETSEL, WPARAM(a), LPARAM(b));
  }
  // The client x of a position, for clicking next to a character.
  int XOf(HWND e, std::size_t pos) { return GET_X_LPARAM(SendMessage(e, EM_POSFROMCHAR, pos)); }
  int YOf(HWND e, std::size_t pos) { return GET_Y_LPARAM(SendMessage(e, EM_POSFROMCHAR, pos)); }
  std::vector<LRESULT> LineStarts(HWND e) {
    std::vector<LRESULT> out;
    const LRESULT n = SendMessage(e, EM_GETLINECOUNT);
    for (LRESULT i = 0; i < n; ++i) out.push_back(SendMessage(e, EM_LINEINDEX, WPARAM(i)));
    return out;
  }
  // Notification codes from the edit, in order.
  std::vector<UINT> Notes(HWND e) {
    std::vector<UINT> out;
    for (const TParentMsg& m : ParentLog().Messages)
      if (m.Msg == WM_COMMAND && m.L == LPARAM(reinterpret_cast<std::uintptr_t>(e)))
        out.push_back(HIWORD(m.W));
    return out;
  }
};

TEST_F(EditTest, TypingInsertsAndNotifiesUpdateThenChange) {
  HWND e = Single();
  ParentLog().Messages.clear();
  Type("Привет, world");
  EXPECT_EQ(GetWindowText(e), "Привет, world");
  EXPECT_EQ(Sel(e), (std::pair<DWORD, DWORD>{19, 19}));  // bytes: 6 Cyrillic letters take 12
  std::vector<UINT> notes = Notes(e);
  ASSERT_EQ(notes.size(), 26u);
  EXPECT_EQ(notes[0], EN_UPDATE);
  EXPECT_EQ(notes[1], EN_CHANGE);
  EXPECT_EQ(SendMessage(e, EM_GETMODIFY), 1);
  // WM_SETTEXT replaces everything, notifies, and is not a modification.
  SetWindowText(e, "abc");
  EXPECT_EQ(SendMessage(e, EM_GETMODIFY), 0);
  EXPECT_EQ(Notes(e).back(), EN_CHANGE);
  EXPECT_EQ(SendMessage(e, WM_GETTEXTLENGTH), 3);
}

TEST_F(EditTest, ASubclassSeesCharactersFirstAndMayRefuseThem) {
  HWND e = Single();
  WNDPROC previous;
  WNDPROC mine = WNDPROC::FromClosure([&](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
    if (msg == WM_CHAR && (w == 'x' || w == 'X')) return 0;  // swallowed
    if (msg == WM_CHAR && w == 'a') w = 'A';                 // changed on the way
    return CallWindowProc(previous, h, msg, w, l);
  });
  previous = SetWindowProc(e, mine);
  Type("xaxb");
  EXPECT_EQ(GetWindowText(e), "Ab");
  SetWindowProc(e, previous);
}

TEST_F(EditTest, NumberFieldsRefuseEverythingButDigits) {
  HWND e = Single("", ES_AUTOHSCROLL | ES_NUMBER);
  Type("1a2-3 4");
  EXPECT_EQ(GetWindowText(e), "1234");
  // Pasting letters into it is refused as typing them is; digits are taken.
  GetHost()->SetClipboardText("12x");
  Chord({VK_CONTROL}, 'V');
  EXPECT_EQ(GetWindowText(e), "1234");
  GetHost()->SetClipboardText("56");
  Chord({VK_CONTROL}, 'V');
  EXPECT_EQ(GetWindowText(e), "123456");
}

TEST_F(EditTest, KeyboardMovesAndSelectsWholeCharacters) {
  HWND e = Single("ab ёж где");
  // "ab ёж где": a b ' ' ё(2) ж(2) ' ' г(2) д(2) е(2) = 3 + 4 + 1 + 6 = 14 bytes.
  Key(VK_END);
  EXPECT_EQ(Sel(e), (std::pair<DWORD, DWORD>{14, 14}));
  Key(VK_LEFT);
  EXPECT_EQ(Sel(e).first, 12u);
  Chord({VK_SHIFT}, VK_LEFT);
  EXPECT_EQ(Sel(e), (std::pair<DWORD, DWORD>{10, 12}));
  Chord({VK_CONTROL}, VK_LEFT);
  EXPECT_EQ(Sel(e), (std::pair<DWORD, DWORD>{8, 8}));
  Chord({VK_CONTROL}, VK_LEFT);
  EXPECT_EQ(Sel(e), (std::pair<DWORD, DWORD>{3, 3}));
  Chord({VK_CONTROL, VK_SHIFT}, VK_RIGHT);
  EXPECT_EQ(Sel(e), (std::pair<DWORD, DWORD>{3, 8}));
  // Left with a selection collapses it to its start.
  Key(VK_LEFT);
  EXPECT_EQ(Sel(e), (std::pair<DWORD, DWORD>{3, 3}));
  Chord({VK_SHIFT}, VK_HOME);
  EXPECT_EQ(Sel(e), (std::pair<DWORD, DWORD>{0, 3}));
  // A position set inside a character snaps to its start.
  SetSel(e, 4, 6);
  EXPECT_EQ(Sel(e), (std::pair<DWORD, DWORD>{3, 5}));
  SetSel(e, 0, -1);
  EXPECT_EQ(Sel(e), (std::pair<DWORD, DWORD>{0, 14}));
  SetSel(e, -1, 0);
  EXPECT_EQ(Sel(e).first, Sel(e).second);
  // Delete and Backspace take one whole character.
  SetSel(e, 3, 3);
  Key(VK_DELETE);
  EXPECT_EQ(GetWindowText(e), "ab ж где");
  Key(VK_RIGHT);
  Key(VK_BACK);
  EXPECT_EQ(GetWindowText(e), "ab  где");
  Chord({VK_CONTROL}, 'A');
  EXPECT_EQ(Sel(e), (std::pair<DWORD, DWORD>{0, 10}));
  Type("z");
  EXPECT_EQ(GetWindowText(e), "z");
}

TEST_F(EditTest, InvalidUtf8IsKeptAndSteppedOverWithoutSplitting) {
  const std::string bad = "a\xC3\x28\xFF\x80\x80z\xE2\x82";
  HWND e = Single(bad);
  EXPECT_EQ(GetWindowText(e), bad);
  std::vector<DWORD> stops;
  for (int i = 0; i < 8; ++i) {
    Key(VK_RIGHT);
    stops.push_back(Sel(e).first);
  }
  // Every stop is a position the left-to-right walk agrees with going back.
  EXPECT_EQ(stops.back(), DWORD(bad.size()));
  for (int i = 0; i < 8; ++i) Key(VK_LEFT);
  EXPECT_EQ(Sel(e).first, 0u);
  Chord({VK_CONTROL}, 'A');
  Key(VK_BACK);
  EXPECT_EQ(GetWindowText(e), "");
}

TEST_F(EditTest, MouseClickDragAndDoubleClickSelect) {
  HWND e = Single("one two three");
  const int y = YOf(e, 0) + 3;
  Click(e, XOf(e, 4) + 1, y);
  EXPECT_EQ(Sel(e), (std::pair<DWORD, DWORD>{4, 4}));
  host.AdvanceClock(GetDoubleClickTime() + 1);
  // Drag from "t" of "two" to inside "three": the mouse is captured while held.
  Press(e, XOf(e, 4) + 1, y);
  EXPECT_EQ(GetCapture(), e);
  MoveTo(e, XOf(e, 10) + 1, y);
  EXPECT_EQ(Sel(e), (std::pair<DWORD, DWORD>{4, 10}));
  MoveTo(e, -40, y);  // outside to the left: the selection runs to the start
  EXPECT_EQ(Sel(e), (std::pair<DWORD, DWORD>{0, 4}));
  Release();
  EXPECT_EQ(GetCapture(), nullptr);
  host.AdvanceClock(GetDoubleClickTime() + 1);
  const TPoint p = Screen(e, XOf(e, 9) + 1, y);
  host.DoubleClick(p.X, p.Y);
  Pump();
  EXPECT_EQ(Sel(e), (std::pair<DWORD, DWORD>{8, 13}));
  // Shift+click extends from the anchor.
  host.AdvanceClock(GetDoubleClickTime() + 1);
  host.KeyDown(VK_SHIFT);
  Click(e, XOf(e, 2), y);
  host.KeyUp(VK_SHIFT);
  Pump();
  EXPECT_EQ(Sel(e), (std::pair<DWORD, DWORD>{2, 8}));
}

TEST_F(EditTest, CutCopyPasteThroughTheClipboard) {
  HWND e = Single("копия");
  Chord({VK_CONTROL}, 'A');
  Chord({VK_CONTROL}, 'C');
  EXPECT_EQ(GetHost()->ClipboardText(), std::optional<std::string>("копия"));
  Key(VK_END);
  Chord({VK_CONTROL}, 'V');
  EXPECT_EQ(GetWindowText(e), "копиякопия");
  SetSel(e, 0, 4);
  Chord({VK_CONTROL}, 'X');
  EXPECT_EQ(GetWindowText(e), "пиякопия");
  EXPECT_EQ(GetHost()->ClipboardText(), std::optional<std::string>("ко"));
  // Pasting several lines into a single-line field keeps the first.
  GetHost()->SetClipboardText("first\r\nsecond");
  SendMessage(e, WM_PASTE);
  EXPECT_EQ(GetWindowText(e), "firstпиякопия");
  // The message forms: WM_CLEAR deletes without touching the clipboard.
  SetSel(e, 0, 5);
  SendMessage(e, WM_CLEAR);
  EXPECT_EQ(GetWindowText(e), "пиякопия");
  EXPECT_EQ(GetHost()->ClipboardText(), std::optional<std::string>("first\r\nsecond"));
  // A password is never copied or cut out of its field.
  HWND pw = Make(WC_EDIT, "secret", ES_PASSWORD | ES_AUTOHSCROLL, 10, 60, 100, 21, 102);
  SetFocus(pw);
  SetSel(pw, 0, -1);
  SendMessage(pw, WM_COPY);
  SendMessage(pw, WM_CUT);
  EXPECT_EQ(GetWindowText(pw), "secret");
  EXPECT_EQ(GetHost()->ClipboardText(), std::optional<std::string>("first\r\nsecond"));
  EXPECT_EQ(SendMessage(pw, EM_GETPASSWORDCHAR), LRESULT('*'));
}

TEST_F(EditTest, UndoTakesBackATypedRunAndUndoingTwiceRedoes) {
  HWND e = Single("x");
  EXPECT_EQ(SendMessage(e, EM_CANUNDO), 0);
  Key(VK_END);
  Type("abc");
  EXPECT_EQ(SendMessage(e, EM_CANUNDO), 1);
  Chord({VK_CONTROL}, 'Z');
  EXPECT_EQ(GetWindowText(e), "x");
  Chord({VK_CONTROL}, 'Z');
  EXPECT_EQ(GetWindowText(e), "xabc");
  // Moving the caret ends a run: only the second run is undone.
  Key(VK_HOME);
  Type("12");
  SendMessage(e, EM_UNDO);
  EXPECT_EQ(GetWindowText(e), "xabc");
  // EM_REPLACESEL without undo empties the buffer.
  SendMessage(e, EM_REPLACESEL, 0, LPARAM("!"));
  EXPECT_EQ(SendMessage(e, EM_CANUNDO), 0);
  SendMessage(e, EM_REPLACESEL, 1, LPARAM("?"));
  EXPECT_EQ(GetWindowText(e), "!?xabc");
  SendMessage(e, EM_UNDO);
  EXPECT_EQ(GetWindowText(e), "!xabc");
}

TEST_F(EditTest, TheLimitStopsTypingAndPastingAtAWholeCharacter) {
  HWND e = Single();
  SendMessage(e, EM_LIMITTEXT, 5);
  EXPECT_EQ(SendMessage(e, EM_GETLIMITTEXT), 5);
  ParentLog().Messages.clear();
  Type("abcdefg");
  EXPECT_EQ(GetWindowText(e), "abcde");
  const std::vector<UINT> notes = Notes(e);
  EXPECT_GE(std::count(notes.begin(), notes.end(), EN_MAXTEXT), 1);
  SendMessage(e, EM_LIMITTEXT, 8);
  GetHost()->SetClipboardText("жжж");  // 6 bytes; 3 fit, that is one and a half letters
  SendMessage(e, WM_PASTE);
  EXPECT_EQ(GetWindowText(e), "abcdeж");
  // WM_SETTEXT is not limited.
  SetWindowText(e, "a much longer text");
  EXPECT_EQ(GetWindowText(e), "a much longer text");
  SendMessage(e, EM_LIMITTEXT, 0);
  EXPECT_GT(SendMessage(e, EM_GETLIMITTEXT), 1000000);
}

TEST_F(EditTest, AFieldThatDoesNotScrollRefusesWhatDoesNotFit) {
  HWND e = Single("", 0, 40);
  Type("wwwwwwwwwwwwwwwwwwww");
  const std::string kept = GetWindowText(e);
  EXPECT_LT(kept.size(), 20u);
  EXPECT_GT(kept.size(), 0u);
  HWND s = Single("", ES_AUTOHSCROLL, 40);
  Type("wwwwwwwwwwwwwwwwwwww");
  EXPECT_EQ(GetWindowText(s).size(), 20u);
  // The caret stays in view: the first visible character moved.
  EXPECT_GT(SendMessage(s, EM_GETFIRSTVISIBLELINE), 0);
}

TEST_F(EditTest, ReadOnlyFieldsKeepTheirTextAndAskForStaticColours) {
  HWND e = Single("fixed", ES_AUTOHSCROLL | ES_READONLY);
  Type("x");
  Key(VK_BACK);
  Key(VK_DELETE);
  SetSel(e, 0, -1);
  Chord({VK_CONTROL}, 'X');
  EXPECT_EQ(GetWindowText(e), "fixed");
  EXPECT_EQ(GetHost()->ClipboardText(), std::nullopt);
  Chord({VK_CONTROL}, 'C');  // copying is allowed
  EXPECT_EQ(GetHost()->ClipboardText(), std::optional<std::string>("fixed"));
  ParentLog().Messages.clear();
  InvalidateRect(e, nullptr, true);
  Pump();
  EXPECT_EQ(Count(WM_CTLCOLORSTATIC), 1);
  EXPECT_EQ(Count(WM_CTLCOLOREDIT), 0);
  SendMessage(e, EM_SETREADONLY, 0);
  ParentLog().Messages.clear();
  Pump();
  EXPECT_EQ(Count(WM_CTLCOLOREDIT), 1);
  Type("!");
  EXPECT_EQ(GetWindowText(e), "!");
}

TEST_F(EditTest, MultiLineLinesAndTheirMessages) {
  HWND e = Memo("one\ntwo\r\n\r\nfour");
  // Lone line feeds become CR LF.
  EXPECT_EQ(GetWindowText(e), "one\r\ntwo\r\n\r\nfour");
  EXPECT_EQ(SendMessage(e, EM_GETLINECOUNT), 4);
  EXPECT_EQ(LineStarts(e), (std::vector<LRESULT>{0, 5, 10, 12}));
  EXPECT_EQ(SendMessage(e, EM_LINELENGTH, 5), 3);
  EXPECT_EQ(SendMessage(e, EM_LINELENGTH, 10), 0);
  EXPECT_EQ(SendMessage(e, EM_LINEFROMCHAR, 13), 3);
  EXPECT_EQ(SendMessage(e, EM_LINEINDEX, 9), -1);
  char buf[16] = {};
  buf[0] = sizeof buf;
  EXPECT_EQ(SendMessage(e, EM_GETLINE, 3, LPARAM(buf)), 4);
  EXPECT_EQ(std::string(buf, 4), "four");
  // Enter splits a line; the caret never stops between CR and LF.
  SetSel(e, 2, 2);
  Key(VK_RETURN);
  EXPECT_EQ(GetWindowText(e), "on\r\ne\r\ntwo\r\n\r\nfour");
  Key(VK_LEFT);
  EXPECT_EQ(Sel(e).first, 2u);
  Key(VK_RIGHT);
  EXPECT_EQ(Sel(e).first, 4u);
  SetSel(e, 3, 3);
  EXPECT_EQ(Sel(e).first, 2u);
  // Backspace at a line start joins the lines.
  SetSel(e, 4, 4);
  Key(VK_BACK);
  EXPECT_EQ(GetWindowText(e), "one\r\ntwo\r\n\r\nfour");
}

TEST_F(EditTest, UpDownKeepTheColumnAndPagesScroll) {
  std::string text;
  for (int i = 0; i < 40; ++i)
    text += (i % 3 == 1 ? "x" : "line number " + std::to_string(i)) + "\r\n";
  HWND e = Memo(text, ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL);
  SetSel(e, 9, 9);  // "line numb|er 0"
  Key(VK_DOWN);     // the short line "x": the caret goes to its end
  EXPECT_EQ(SendMessage(e, EM_LINEFROMCHAR, WPARAM(-1)), 1);
  Key(VK_DOWN);  // back to the same column on a long line
  const LRESULT l2 = SendMessage(e, EM_LINEINDEX, 2);
  EXPECT_EQ(LRESULT(Sel(e).first), l2 + 9);
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE), 0);
  Key(VK_NEXT);
  const LRESULT page = SendMessage(e, EM_LINEFROMCHAR, WPARAM(-1)) - 2;
  EXPECT_GT(page, 2);
  EXPECT_GT(SendMessage(e, EM_GETFIRSTVISIBLELINE), 0);
  Chord({VK_CONTROL}, VK_END);
  EXPECT_EQ(Sel(e).first, DWORD(text.size()));
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE), 41 - (100 - 4) / 13);
  Chord({VK_CONTROL}, VK_HOME);
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE), 0);
  SendMessage(e, EM_LINESCROLL, 0, 5);
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE), 5);
  SendMessage(e, EM_LINESCROLL, 0, -100);
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE), 0);
  SendMessage(e, WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_GT(SendMessage(e, EM_GETFIRSTVISIBLELINE), 3);
  const LRESULT before = SendMessage(e, EM_GETFIRSTVISIBLELINE);
  MoveTo(e, 5, 5);
  host.Wheel(-WHEEL_DELTA);  // towards the user: three lines down
  Pump();
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE), before + 3);
}

TEST_F(EditTest, WrappingBreaksAtSpacesAndInsideLongWords) {
  HWND e = Memo("", ES_AUTOVSCROLL, 80, 200);
  SetWindowText(e, "aaa bbb ccc ddd eee fff");
  const LRESULT lines = SendMessage(e, EM_GETLINECOUNT);
  EXPECT_GT(lines, 1);
  for (LRESULT i = 1; i < lines; ++i) {
    // Every wrapped line starts right after a space.
    const LRESULT start = SendMessage(e, EM_LINEINDEX, WPARAM(i));
    EXPECT_EQ(GetWindowText(e)[std::size_t(start - 1)], ' ');
  }
  SetWindowText(e, std::string(60, 'w'));
  EXPECT_GT(SendMessage(e, EM_GETLINECOUNT), 2);
  // Narrower margins change nothing but the room; a wider window unwraps.
  MoveWindow(e, 10, 40, 600, 200, true);
  EXPECT_EQ(SendMessage(e, EM_GETLINECOUNT), 1);
}

TEST_F(EditTest, AMemosOwnScrollBarsFollowAndDriveIt) {
  std::string text;
  for (int i = 0; i < 30; ++i)
    text += "line " + std::to_string(i) + " with some words to be wide\r\n";
  HWND e = Memo(text, ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL, 150, 120);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(e, SB_VERT, &si));
  EXPECT_EQ(si.nMax, 30);  // 31 lines: the last one empty
  EXPECT_EQ(si.nPos, 0);
  const int page = int(si.nPage);
  EXPECT_GT(page, 3);
  Chord({VK_CONTROL}, VK_END);
  GetScrollInfo(e, SB_VERT, &si);
  EXPECT_EQ(si.nPos, 31 - page);
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE), 31 - page);
  // A click on the bar's up arrow (top of the bar, right of the client area) scrolls a line.
  TRect wr;
  GetWindowRect(e, &wr);
  TRect cr;
  GetClientRect(e, &cr);
  TPoint arrow = Screen(e, cr.Right + GetSystemMetrics(SM_CXVSCROLL) / 2, 3);
  host.Click(arrow.X, arrow.Y);
  Pump();
  EXPECT_EQ(SendMessage(e, EM_GETFIRSTVISIBLELINE), 30 - page);
  GetScrollInfo(e, SB_VERT, &si);
  EXPECT_EQ(si.nPos, 30 - page);
  // The horizontal bar covers the widest line; End on a long line scrolls it.
  ASSERT_TRUE(GetScrollInfo(e, SB_HORZ, &si));
  EXPECT_GT(si.nMax, int(si.nPage));
  SendMessage(e, WM_HSCROLL, SB_RIGHT, 0);
  GetScrollInfo(e, SB_HORZ, &si);
  EXPECT_EQ(si.nPos, si.nMax - int(si.nPage) + 1);
  SendMessage(e, WM_HSCROLL, SB_LEFT, 0);
  GetScrollInfo(e, SB_HORZ, &si);
  EXPECT_EQ(si.nPos, 0);
  (void)wr;
}

// Random edits re-lay out only what they touched; the lines must always be
// those of laying out the whole text afresh.
TEST_F(EditTest, IncrementalLayoutMatchesAFreshOne) {
  HWND e = Memo("", ES_AUTOVSCROLL | WS_VSCROLL, 120, 200);
  HWND fresh = Make(WC_EDIT, "", ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, 10, 250, 120, 200, 102,
                    WS_EX_CLIENTEDGE);
  SendMessage(e, EM_LIMITTEXT, 0);
  std::mt19937 rng(12345);
  const char* pieces[] = {"a", " ", "word ", "\r\n", "ж", "long-long-long-word", "\t", "xy z"};
  for (int step = 0; step < 300; ++step) {
    const LRESULT size = SendMessage(e, WM_GETTEXTLENGTH);
    const std::size_t a = rng() % std::size_t(size + 1), b = rng() % std::size_t(size + 1);
    SetSel(e, std::intptr_t(std::min(a, b)), std::intptr_t(std::max(a, b)));
    if (rng() % 4 == 0)
      Key(VK_DELETE);
    else
      SendMessage(e, EM_REPLACESEL, 1, LPARAM(pieces[rng() % 8]));
    SetWindowText(fresh, GetWindowText(e));
    ASSERT_EQ(LineStarts(e), LineStarts(fresh)) << "step " << step;
  }
}

TEST_F(EditTest, FocusNotificationsAndDialogCodes) {
  HWND a = Single("a");
  HWND m = Memo("m", ES_AUTOVSCROLL | ES_WANTRETURN);
  ParentLog().Messages.clear();
  SetFocus(a);
  SetFocus(m);
  EXPECT_EQ(Notes(a), (std::vector<UINT>{EN_SETFOCUS, EN_KILLFOCUS}));
  EXPECT_EQ(SendMessage(a, WM_GETDLGCODE), DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS);
  MSG enter;
  enter.message = WM_KEYDOWN;
  enter.wParam = VK_RETURN;
  EXPECT_TRUE(SendMessage(m, WM_GETDLGCODE, 0, LPARAM(&enter)) & DLGC_WANTALLKEYS);
  MSG tab = enter;
  tab.wParam = VK_TAB;
  EXPECT_FALSE(SendMessage(m, WM_GETDLGCODE, 0, LPARAM(&tab)) & DLGC_WANTALLKEYS);
  // Margins and the formatting rectangle.
  SendMessage(a, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(5, 7));
  EXPECT_EQ(SendMessage(a, EM_GETMARGINS), MAKELONG(5, 7));
  TRect r;
  SendMessage(a, EM_GETRECT, 0, LPARAM(&r));
  TRect c;
  GetClientRect(a, &c);
  EXPECT_EQ(r.Left, 5);
  EXPECT_EQ(r.Right, c.Right - 7);
  TRect set = Rect(20, 2, 60, 15);
  SendMessage(a, EM_SETRECT, 0, LPARAM(&set));
  SendMessage(a, EM_GETRECT, 0, LPARAM(&r));
  EXPECT_EQ(r, set);
  EXPECT_EQ(XOf(a, 0), 20);
}

TEST_F(EditTest, SetTextNotifiesOnlyASingleLineEdit) {
  HWND single = Single("a");
  HWND memo = Memo("m");
  ParentLog().Messages.clear();
  SetWindowText(single, "single");
  SetWindowText(memo, "memo\r\ntwo");
  EXPECT_EQ(Notes(single), (std::vector<UINT>{EN_UPDATE, EN_CHANGE}));
  EXPECT_TRUE(Notes(memo).empty());
  EXPECT_EQ(GetWindowText(memo), "memo\r\ntwo");
  EXPECT_EQ(SendMessage(memo, EM_GETLINECOUNT), 2);
}

TEST_F(EditTest, ReplaceSelKeepsToTheLimitAndSaysSo) {
  HWND e = Single("abc");
  SendMessage(e, EM_LIMITTEXT, 5);
  SetSel(e, 3, 3);
  ParentLog().Messages.clear();
  SendMessage(e, EM_REPLACESEL, 0, LPARAM("defgh"));
  EXPECT_EQ(GetWindowText(e), "abcde");
  EXPECT_EQ(Notes(e), (std::vector<UINT>{EN_MAXTEXT, EN_UPDATE, EN_CHANGE}));
  // Nothing fits: the text stays, the parent hears only EN_MAXTEXT.
  ParentLog().Messages.clear();
  SendMessage(e, EM_REPLACESEL, 0, LPARAM("x"));
  EXPECT_EQ(GetWindowText(e), "abcde");
  EXPECT_EQ(Notes(e), (std::vector<UINT>{EN_MAXTEXT}));
  // Replacing a selection makes room for as much as it took; a null text deletes.
  SetSel(e, 0, 2);
  SendMessage(e, EM_REPLACESEL, 0, LPARAM("ЖЖ"));  // 4 bytes, room for 2: one letter
  EXPECT_EQ(GetWindowText(e), "Жcde");
  SetSel(e, 0, 2);
  SendMessage(e, EM_REPLACESEL, 0, 0);
  EXPECT_EQ(GetWindowText(e), "cde");
}

TEST_F(EditTest, AnswersTheEdgeCasesOfItsMessages) {
  HWND e = Single("abc");
  HWND m = Memo("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10", ES_AUTOVSCROLL, 200, 40);
  // No limit: a single line goes to 0x7FFFFFFE, a memo to the whole 32 bits.
  SendMessage(e, EM_LIMITTEXT, 0);
  SendMessage(m, EM_LIMITTEXT, 0);
  EXPECT_EQ(SendMessage(e, EM_GETLIMITTEXT), 0x7FFFFFFE);
  EXPECT_EQ(SendMessage(m, EM_GETLIMITTEXT), 0xFFFFFFFF);
  SendMessage(e, EM_LIMITTEXT, 0xFFFFFFFF);
  EXPECT_EQ(SendMessage(e, EM_GETLIMITTEXT), 0x7FFFFFFE);
  // A single-line edit's one line, whatever number is asked for.
  char buf[8] = {};
  buf[0] = sizeof buf;
  EXPECT_EQ(SendMessage(e, EM_GETLINE, 5, LPARAM(buf)), 3);
  EXPECT_EQ(std::string(buf, 3), "abc");
  EXPECT_EQ(SendMessage(e, EM_GETLINE, 0, 0), 0);
  buf[0] = sizeof buf;
  buf[1] = 0;
  EXPECT_EQ(SendMessage(m, EM_GETLINE, 10, LPARAM(buf)), 0);
  // Only characters have a position; the end of the text has none.
  EXPECT_NE(SendMessage(e, EM_POSFROMCHAR, 2), -1);
  EXPECT_EQ(SendMessage(e, EM_POSFROMCHAR, 3), -1);
  EXPECT_EQ(SendMessage(e, EM_POSFROMCHAR, WPARAM(-1)), -1);
  HWND empty = Single("");
  EXPECT_EQ(SendMessage(empty, EM_POSFROMCHAR, 0), -1);
  // EM_SCROLL answers the lines moved, or FALSE when nothing moved.
  EXPECT_EQ(SendMessage(m, EM_SCROLL, SB_LINEUP), 0);
  EXPECT_EQ(SendMessage(m, EM_SCROLL, SB_LINEDOWN), MAKELONG(1, 1));
  EXPECT_EQ(SendMessage(m, EM_GETFIRSTVISIBLELINE), 1);
  EXPECT_EQ(SendMessage(m, EM_SCROLL, SB_BOTTOM), 0);
  EXPECT_EQ(SendMessage(m, EM_GETFIRSTVISIBLELINE), 1);
  EXPECT_EQ(SendMessage(e, EM_SCROLL, SB_LINEDOWN), 0);
  for (int i = 0; i < 20; ++i) SendMessage(m, EM_SCROLL, SB_PAGEDOWN);
  EXPECT_EQ(SendMessage(m, EM_SCROLL, SB_PAGEDOWN), 0);
}

TEST_F(EditTest, AnEditDestroyedByItsParentInANotificationStopsThere) {
  HWND e = Single("abc");
  HWND m = Memo("memo");
  for (UINT code : {UINT(EN_MAXTEXT), UINT(EN_UPDATE), UINT(EN_CHANGE)}) {
    HWND victim = code == EN_MAXTEXT ? e : m;
    ParentLog().Handler = [&](HWND, UINT msg, WPARAM w, LPARAM) -> std::optional<LRESULT> {
      if (msg == WM_COMMAND && HIWORD(w) == code && IsWindow(victim)) DestroyWindow(victim);
      return std::nullopt;
    };
    if (code == EN_MAXTEXT) SendMessage(e, EM_LIMITTEXT, 3);
    SetFocus(victim);
    Type("xyz");
    EXPECT_FALSE(IsWindow(victim));
    if (code == EN_UPDATE) m = Memo("memo");
  }
  ParentLog().Handler = nullptr;
}

// A single-line field in its looks (empty focused, text, selection focused,
// read-only, disabled, password, centred, right-aligned) and a memo with a
// wrapped paragraph and a selection across lines.
TEST_F(EditTest, GoldenPicture) {
  auto field = [&](const char* text, DWORD style, int y, int id) {
    return Make(WC_EDIT, text, ES_AUTOHSCROLL | style, 8, y, 150, 21, id, WS_EX_CLIENTEDGE);
  };
  field("Обычный текст", 0, 8, 1);
  HWND sel = field("Выделение", 0, 32, 2);
  field("Только чтение", ES_READONLY, 56, 3);
  HWND off = field("Недоступно", 0, 80, 4);
  EnableWindow(off, false);
  field("пароль", ES_PASSWORD, 104, 5);
  field("По центру", ES_CENTER, 128, 6);
  field("Справа", ES_RIGHT, 152, 7);
  HWND memo = Make(WC_EDIT,
                   "Первая строка\r\nДлинный абзац, который переносится по словам в окне.\r\n"
                   "\tТабуляция",
                   ES_MULTILINE | ES_AUTOVSCROLL, 170, 8, 160, 100, 8, WS_EX_CLIENTEDGE);
  std::string lines;
  for (int i = 1; i <= 12; ++i)
    lines += "Строка " + std::to_string(i) + " памятки без переноса\r\n";
  HWND scrolled =
      Make(WC_EDIT, lines, ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL,
           170, 116, 160, 90, 9, WS_EX_CLIENTEDGE);
  SendMessage(scrolled, EM_LINESCROLL, 2, 3);
  SetFocus(memo);
  SetSel(memo, 6, 40);
  SendMessage(memo, EM_SETSEL, 6, 40);
  // The last focused control shows its selection; the other keeps it hidden.
  SetFocus(sel);
  SendMessage(sel, EM_SETSEL, 2, 6);
  SetWindowLongPtr(memo, GWL_STYLE, GetWindowLongPtr(memo, GWL_STYLE) | ES_NOHIDESEL);
  InvalidateRect(memo, nullptr, true);
  HideCaret(sel);
  Golden("edit", ShotOf(Rect(0, 0, 340, 214)));
}

}  // namespace
}  // namespace vm::test
