#!/usr/bin/env bash
# End-to-end test of the photo program on a private Xvfb, driven by xdotool
# from the keyboard as a user would:
#   open a JPEG through the open dialog (Ctrl+O, the path typed, Enter): the
#   backup copy is a byte copy of the file;
#   quality 50 (F10, the "Изображение" menu, the slider moved with Home and
#   Right, Enter): the work copy is the picture recompressed at 50, byte for
#   byte what djpeg | cjpeg -quality 50 -baseline makes of the backup;
#   resize to a width of 400 (the size dialog, Tab to the width, Enter): the
#   work copy is 400 x 300;
#   save (Ctrl+S, a name without extension): NAME.jpg holds the shown
#   picture's data, the work copy;
#   undo all changes: the view shows the picture as opened again;
#   Ctrl+E: the program ends with status 0.
#
#   velmora_e2e.sh VELMORA_BINARY none|openbox
#
# The program runs from a copy in the work folder with its own Temp/ beside
# it, so runs never share working files. Exits 77 (skipped) when a tool is
# missing. Every step waits for the state it needs, never for a fixed time.
set -u

binary=$1
e2e_name=velmora
source "$(dirname "$0")/e2e_lib.sh"
e2e_require xdotool import cjpeg djpeg identify cmp
[ -x /usr/bin/convert ] || {
  echo "SKIP: ImageMagick's convert is not installed (scripts/deps.sh installs it)"
  exit 77
}
e2e_start_x "${2:-none}"

mkdir -p "$work/prog/Temp" "$work/pictures"
cp "$binary" "$work/prog/velmora" || fail "cannot copy the program"
temp=$work/prog/Temp
picture=$work/pictures/photo.jpg
# 800 x 600: larger than the view, so the view is filled.
/usr/bin/convert -size 800x600 gradient:red-blue -quality 92 "$picture" ||
  fail "cannot make the JPEG"

(cd "$work" && exec "$work/prog/velmora") >"$work/velmora.log" 2>&1 &
pid=$!
e2e_track "$pid"

wait_for 20 window_named '^Velmora v8.0$' || fail "no window titled 'Velmora v8.0'"
win=$(window_named '^Velmora v8.0$')
eval "$(xdotool getwindowgeometry --shell "$win")"
win_x=$X win_y=$Y win_w=$WIDTH win_h=$HEIGHT
echo "main window $win at $win_x,$win_y size ${win_w}x$win_h"
# A point well inside the picture view that an 800-pixel-wide picture covers
# and a 400-pixel-wide one does not.
probe_x=$((win_x + 600)) probe_y=$((win_y + 300))

# Gives the named window the keyboard: without a window manager the pointer
# rests on it (focus follows the pointer), under openbox it has the focus.
keyboard_to() {
  local id=$1
  if [ "$e2e_wm" = none ]; then
    local X Y WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$id")"
    pointer_to $((X + WIDTH - 12)) $((Y + HEIGHT / 2))
  fi
  wait_for 10 keyboard_on "$id" || fail "the keyboard is not on window $id"
}
# Waits for a window of the program with that title; sets $dlg.
dialog_up() {
  wait_for 10 window_named "^$1\$" || fail "no window '$1' came up"
  dlg=$(window_named "^$1\$")
  keyboard_to "$dlg"
}
dialog_gone() {
  wait_for 10 sh -c "! xdotool search --onlyvisible --name '^$1\$' >/dev/null" ||
    fail "'$1' is still open"
}
# The colour of a screen pixel, as ImageMagick prints it.
pixel() {
  import -window root -crop "1x1+$1+$2" txt:- 2>/dev/null | tail -n1 | awk '{print $3}'
}
pixel_is() {
  [ "$(pixel "$probe_x" "$probe_y")" = "$1" ]
}
same_file() {
  cmp -s "$1" "$2"
}
size_is() {
  [ "$(identify -format '%wx%h' "$1" 2>/dev/null)" = "$2" ]
}
# F10, then Right to the bar item numbered $1 (from 0), Down into its menu,
# Down $2 more times, Enter.
menu_command() {
  keyboard_to "$win"
  xdotool key F10
  local i
  for ((i = 0; i < $1; i++)); do xdotool key Right; done
  xdotool key Down
  for ((i = 0; i < $2; i++)); do xdotool key Down; done
  xdotool key Return
}

# Open: Ctrl+O, the path typed into the dialog's name field, Enter.
keyboard_to "$win"
screen_readable() {
  [ -n "$(pixel "$probe_x" "$probe_y")" ]
}
wait_for 10 screen_readable || fail "cannot read the screen"
empty=$(pixel "$probe_x" "$probe_y")
xdotool key ctrl+o
dialog_up 'Открыть'
xdotool type --delay 10 "$picture"
xdotool key Return
dialog_gone 'Открыть'
wait_for 10 same_file "$temp/beckup.jpg" "$picture" ||
  fail "the backup copy is not a byte copy of the opened file"
not_empty() {
  local p
  p=$(pixel "$probe_x" "$probe_y")
  [ -n "$p" ] && [ "$p" != "$empty" ]
}
wait_for 10 not_empty || fail "the view does not show the picture"
opened=$(pixel "$probe_x" "$probe_y")
echo "ok ($e2e_wm): opened through the dialog; the backup copy is the file (view pixel $opened)"

# Quality 50: Home puts the slider at 1, 49 steps to the right make 50.
menu_command 1 0
dialog_up 'Изменение качества'
xdotool key Home
xdotool key --repeat 49 --delay 5 Right
xdotool key Return
dialog_gone 'Изменение качества'
djpeg -ppm "$temp/beckup.jpg" | cjpeg -quality 50 -baseline >"$work/expected50.jpg" ||
  fail "the reference tools failed"
wait_for 15 same_file "$temp/tmp.jpg" "$work/expected50.jpg" ||
  fail "the work copy is not the picture at quality 50 ($(stat -c %s "$temp/tmp.jpg" 2>/dev/null) bytes, expected $(stat -c %s "$work/expected50.jpg"))"
echo "ok ($e2e_wm): quality 50; the work copy is byte for byte the reference recompression"

# Resize: Tab to the width field, 400, Enter (the proportions give 400 x 300).
menu_command 1 1
dialog_up 'Изменение размеров'
xdotool key Tab
xdotool key ctrl+a BackSpace
xdotool type --delay 10 400
xdotool key Return
dialog_gone 'Изменение размеров'
wait_for 15 size_is "$temp/tmp.jpg" 400x300 ||
  fail "the work copy is $(identify -format '%wx%h' "$temp/tmp.jpg" 2>/dev/null), expected 400x300"
shows_other() {
  local p
  p=$(pixel "$probe_x" "$probe_y")
  [ -n "$p" ] && [ "$p" != "$opened" ]
}
wait_for 10 shows_other || fail "the view still shows the picture as opened"
echo "ok ($e2e_wm): resized; the work copy is 400x300"

# Save: Ctrl+S, a name without extension; ".jpg" is appended.
keyboard_to "$win"
xdotool key ctrl+s
dialog_up 'Сохранить как'
xdotool type --delay 10 "$work/pictures/small"
xdotool key Return
dialog_gone 'Сохранить как'
wait_for 10 same_file "$work/pictures/small.jpg" "$temp/tmp.jpg" ||
  fail "small.jpg is not the shown picture's data"
echo "ok ($e2e_wm): saved as small.jpg, the shown picture's data"

# Undo all changes: the view shows the picture as opened again; the work copy stays.
menu_command 1 2
wait_for 10 pixel_is "$opened" ||
  fail "after undo the view shows $(pixel "$probe_x" "$probe_y"), expected $opened"
size_is "$temp/tmp.jpg" 400x300 || fail "undo touched the work copy"
echo "ok ($e2e_wm): undo shows the picture as opened"

# Ctrl+E ends the program.
keyboard_to "$win"
xdotool key ctrl+e
wait_for 10 sh -c "! kill -0 $pid 2>/dev/null" || fail "the program did not end on Ctrl+E"
wait "$pid"
status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "PASS ($e2e_wm)"
