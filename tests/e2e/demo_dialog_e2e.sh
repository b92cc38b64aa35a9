#!/usr/bin/env bash
# End-to-end test of velmora-demo's menu and open-picture dialog on a private
# Xvfb, driven by xdotool from the keyboard alone:
#   - F10 enters the menu bar, Down opens "Файл", Enter chooses "Открыть…";
#     the dialog opens, the absolute path of a JPEG made here is typed into
#     its name field and Enter chooses it; the program shows the path in its
#     title and in its window;
#   - on a Russian layout Alt+Ф opens "Файл" and its mnemonic О opens the
#     dialog, Escape cancels it and nothing changes; Ctrl+O (the key of O on
#     a Russian layout) opens it again, Escape again;
#   - F10, Up (round to the last item) and Enter choose "Выход": the program
#     ends by itself.
#
#   demo_dialog_e2e.sh DEMO_BINARY none|openbox
#
# Exits 77 (skipped) when a tool is missing. Every step waits for the state
# it needs (the window having the keyboard, the menu loop's state that the
# program reports next to its recorded text, the dialog's window appearing
# or going), never for a fixed time.
set -u

demo=$1
e2e_name=demo-dialog
source "$(dirname "$0")/e2e_lib.sh"
e2e_require xdotool setxkbmap
[ -x /usr/bin/convert ] || {
  echo "SKIP: ImageMagick's convert is not installed (scripts/deps.sh installs it)"
  exit 77
}
e2e_start_x "${2:-none}"

# The picture: a real JPEG in a folder whose name has a space.
mkdir -p "$work/my pictures"
picture="$work/my pictures/sunset 1.jpg"
/usr/bin/convert -size 96x64 gradient:orange-navy "$picture" || fail "cannot make the JPEG"

record=$work/text.txt
"$demo" --record "$record" >"$work/demo.log" 2>&1 &
demo_pid=$!
e2e_track "$demo_pid"

wait_for 15 window_named '^Velmora Demo$' || fail "no window titled 'Velmora Demo'"
win=$(window_named '^Velmora Demo$')
wait_for 5 test -s "$record.layout" || fail "no layout file"
eval "$(xdotool getwindowgeometry --shell "$win")"
win_x=$X win_y=$Y win_w=$WIDTH win_h=$HEIGHT
read -r _ el et er eb < <(grep '^edit ' "$record.layout")

menu_is() {
  [ "$(cat "$record.menu" 2>/dev/null)" = "$1" ]
}
expect_menu() {
  wait_for 10 menu_is "$1" || fail "the menu is '$(cat "$record.menu" 2>/dev/null)', expected $1"
}
title_is() {
  [ "$(xdotool getwindowname "$win" 2>/dev/null)" = "$1" ]
}

# The keyboard on the main window: without a window manager the pointer rests
# on its field (focus follows the pointer), with openbox it has the focus.
to_main_window() {
  pointer_to $((win_x + (el + er) / 2)) $((win_y + (et + eb) / 2))
  wait_for 10 keyboard_on "$win" || fail "the keyboard is not on the main window"
  wait_for 10 sh -c "[ \"\$(cat '$record.focus' 2>/dev/null)\" = edit ]" ||
    fail "the program's focus is on '$(cat "$record.focus")', not on its field"
}

# Waits for the open-picture dialog and gives it the keyboard; sets $dlg.
dialog_open() {
  wait_for 10 window_named '^Открыть$' || fail "the open-picture dialog did not open"
  dlg=$(window_named '^Открыть$')
  if [ "$e2e_wm" = none ]; then
    local X Y WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$dlg")"
    pointer_to $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
  fi
  wait_for 10 keyboard_on "$dlg" || fail "the keyboard is not on the dialog"
  expect_menu none
}
dialog_gone() {
  wait_for 10 sh -c "! xdotool search --onlyvisible --name '^Открыть\$' >/dev/null" ||
    fail "the dialog is still open"
}

# 1. F10, Down, Enter: the dialog; a typed path comes back.
to_main_window
windows_before=$(visible_windows)
xdotool key F10
expect_menu bar
xdotool key Down
expect_menu popup
wait_for 10 sh -c "[ \$(xdotool search --onlyvisible --class Velmora | wc -l) -gt $windows_before ]" ||
  fail "no menu window appeared"
xdotool key Return
dialog_open
xdotool type --delay 20 "$picture"
xdotool key Return
dialog_gone
wait_for 10 title_is "Velmora Demo — $picture" ||
  fail "the title is '$(xdotool getwindowname "$win")', expected the chosen path"
echo "ok ($e2e_wm): F10, Down, Enter opened the dialog; the typed path came back"

# 2. On a Russian layout: Alt+Ф and the mnemonic О, then Ctrl+O; Escape
# cancels both times and the title keeps the path.
setxkbmap -layout ru || fail "cannot switch to a Russian layout"
to_main_window
xdotool key alt+Cyrillic_ef
expect_menu popup
xdotool key Cyrillic_o
dialog_open
xdotool key Escape
dialog_gone
to_main_window
xdotool key ctrl+Cyrillic_shcha
dialog_open
xdotool key Escape
dialog_gone
title_is "Velmora Demo — $picture" || fail "cancelling changed the title"
setxkbmap -layout us || fail "cannot switch back to a US layout"
echo "ok ($e2e_wm): Alt+Ф, О and Ctrl+O on a Russian layout opened the dialog; Escape cancelled"

# 3. F10, Down, Up (round to the last item), Enter: "Выход" ends the program.
to_main_window
xdotool key F10
expect_menu bar
xdotool key Down
expect_menu popup
xdotool key Up Return
wait_for 10 sh -c "! kill -0 $demo_pid 2>/dev/null" || fail "the program did not end after Выход"
wait "$demo_pid"
status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "PASS ($e2e_wm)"
