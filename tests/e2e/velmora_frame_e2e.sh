#!/usr/bin/env bash
# End-to-end test of the main window's skinned frame on a private Xvfb,
# driven by xdotool as a user would:
#   the X window's bounding shape leaves out exactly the pixels the program's
#   window region leaves out on the headless host (velmora-shot --holes);
#   a drag of the caption moves the window by the pointer's way;
#   Alt+Space opens the skinned system menu (a pop-up of the program under
#   the caption's icon, not painted in the platform's plain menu colour),
#   Escape closes it; a right click on the caption opens it at the pointer;
#   a press and release on the skinned close button ends the program.
#
#   velmora_frame_e2e.sh VELMORA VELMORA_SHOT XSHAPE_HOLES none|openbox
set -u

binary=$1
shot=$2
holes=$3
e2e_name=velmora-frame
source "$(dirname "$0")/e2e_lib.sh"
e2e_require xdotool import
# openbox keeps Alt+Space for its own window menu: here it runs with its
# default configuration less that one key, so the key reaches the program.
if [ -f /etc/xdg/openbox/rc.xml ]; then
  sed '/<keybind key="A-space">/,/<\/keybind>/d' /etc/xdg/openbox/rc.xml >"$work/rc.xml"
  e2e_openbox_args=(--config-file "$work/rc.xml")
fi
e2e_start_x "${4:-none}"

mkdir -p "$work/prog/Temp"
cp "$binary" "$work/prog/velmora" || fail "cannot copy the program"
(cd "$work" && exec "$work/prog/velmora") >"$work/velmora.log" 2>&1 &
pid=$!
e2e_track "$pid"

wait_for 20 window_named '^Velmora v8.0$' || fail "no window titled 'Velmora v8.0'"
win=$(window_named '^Velmora v8.0$')
geometry() {
  eval "$(xdotool getwindowgeometry --shell "$win")"
  win_x=$X win_y=$Y win_w=$WIDTH win_h=$HEIGHT
}
geometry
echo "main window $win at $win_x,$win_y size ${win_w}x$win_h"

# The shape: the same holes as the program's window region on the headless host.
"$shot" --holes "$work/expected-holes.txt" --screen 1280x1024 >/dev/null ||
  fail "velmora-shot could not tell the window region"
head -n1 "$work/expected-holes.txt" | grep -q "^${win_w}x${win_h}\$" ||
  fail "the headless main window is $(head -n1 "$work/expected-holes.txt"), here ${win_w}x$win_h"
[ "$(wc -l <"$work/expected-holes.txt")" -gt 1 ] || fail "the skin's region cuts no corner"
same_shape() {
  "$holes" "$win" >"$work/holes.txt" && cmp -s "$work/holes.txt" "$work/expected-holes.txt"
}
wait_for 10 same_shape ||
  fail "the X shape leaves out $(($(wc -l <"$work/holes.txt") - 1)) pixels ($(head -n1 "$work/holes.txt")), the region $(($(wc -l <"$work/expected-holes.txt") - 1))"
echo "ok ($e2e_wm): the X shape is the window region ($(($(wc -l <"$work/holes.txt") - 1)) corner pixels cut)"

# A caption drag: pressed in the caption left of the title buttons, moved
# 80 right and 50 down in steps, released.
from_x=$((win_x + win_w / 2)) from_y=$((win_y + 10))
pointer_to "$from_x" "$from_y"
xdotool mousedown 1
for i in 1 2 3 4; do
  pointer_to $((from_x + 20 * i)) $((from_y + 12 * i + (i == 4 ? 2 : 0)))
done
xdotool mouseup 1
moved() {
  geometry
  [ "$win_x" -eq $((from_x - win_w / 2 + 80)) ] && [ "$win_y" -eq $((from_y - 10 + 50)) ]
}
wait_for 10 moved || fail "after the drag the window is at $win_x,$win_y"
echo "ok ($e2e_wm): a caption drag moved the window to $win_x,$win_y"

# Alt+Space: the system menu comes up as a pop-up of the program, under the
# caption's icon at the window's left edge.
keyboard_to() {
  if [ "$e2e_wm" = none ]; then
    pointer_to $((win_x + win_w / 2)) $((win_y + win_h / 2))
  else
    xdotool windowactivate --sync "$win" >/dev/null 2>&1
  fi
  wait_for 10 keyboard_on "$win" || fail "the keyboard is not on the main window"
}
keyboard_to
before=$(visible_windows)
xdotool key alt+space
menu_up() { [ "$(visible_windows)" -gt "$before" ]; }
wait_for 10 menu_up || fail "Alt+Space opened no menu"
menu=$(xdotool search --onlyvisible --class Velmora 2>/dev/null | grep -vx "$win" | tail -n1)
eval "$(xdotool getwindowgeometry --shell "$menu")"
[ $((X - win_x)) -ge 0 ] && [ $((X - win_x)) -le 8 ] && [ $((Y - win_y)) -ge 10 ] &&
  [ $((Y - win_y)) -le 40 ] ||
  fail "the system menu is at $X,$Y, not under the icon of the window at $win_x,$win_y"
# The skinned menu is painted from the skin, not in the plain menu colour
# (#D4D0C8) of the platform's own window menu.
colour=$(import -window root -depth 8 -crop "1x1+$((X + WIDTH / 2))+$((Y + HEIGHT / 2))" txt:- \
  2>/dev/null | tail -n1 | awk '{print $3}')
[ -n "$colour" ] && [ "$colour" != "#D4D0C8" ] ||
  fail "the system menu at $X,$Y shows $colour, the platform's plain menu colour"
xdotool key Escape
menu_gone() { [ "$(visible_windows)" -le "$before" ]; }
wait_for 10 menu_gone || fail "Escape left the system menu open"
echo "ok ($e2e_wm): Alt+Space opened the skinned system menu at $X,$Y (${WIDTH}x$HEIGHT, $colour)"

# A right click on the caption opens it at the pointer.
click_x=$((win_x + 200)) click_y=$((win_y + 10))
pointer_to "$click_x" "$click_y"
xdotool click 3
wait_for 10 menu_up || fail "a right click on the caption opened no menu"
menu=$(xdotool search --onlyvisible --class Velmora 2>/dev/null | grep -vx "$win" | tail -n1)
eval "$(xdotool getwindowgeometry --shell "$menu")"
[ "$X" -eq "$click_x" ] && [ "$Y" -eq "$click_y" ] ||
  fail "the caption's menu is at $X,$Y, the click was at $click_x,$click_y"
xdotool key Escape
wait_for 10 menu_gone || fail "Escape left the caption's menu open"
echo "ok ($e2e_wm): a right click on the caption opened the system menu at the pointer"

# The close button at the caption's right end: the program ends, status 0.
geometry
pointer_to $((win_x + win_w - 15)) $((win_y + 11))
xdotool click 1
wait_for 10 sh -c "! kill -0 $pid 2>/dev/null" || fail "the close button did not end the program"
wait "$pid"
status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "PASS ($e2e_wm)"
