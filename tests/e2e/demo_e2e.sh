#!/usr/bin/env bash
# End-to-end test of velmora-demo on a private Xvfb, driven by xdotool as a
# user would: find the window by its title, click into the field, type Latin
# text on a US layout and Cyrillic text on a Russian one, erase, click the
# Clear button, drag the window by its caption and close it with the
# caption's close button.
#
# Cyrillic goes through a real Russian layout (setxkbmap): on a US layout
# xdotool binds each missing character to a spare key for an instant and
# unbinds it right after the press, and a client that reads the key map a
# moment later may find the key empty. That race is xdotool's; the Unicode
# keysym path itself is covered by the host's own tests.
#
#   demo_e2e.sh DEMO_BINARY none|openbox
#
# "none" runs without a window manager (focus follows the pointer, the
# program moves its window itself); "openbox" runs under openbox (focus on
# map, _NET_WM_MOVERESIZE). Exits 77 (skipped) when a tool is missing.
# Every wait has a limit, and the trap stops what the test started.
#
# Nothing waits for a fixed time: each step waits for the state it needs
# (the pointer where it was sent, the keyboard focus on the window and on
# the field, the program having seen a press), which the program reports in
# files next to the recorded text.
set -u

demo=$1
wm=${2:-none}
for tool in Xvfb xdpyinfo xdotool xprop setxkbmap; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (scripts/deps.sh installs it)"
    exit 77
  fi
done
if [ "$wm" = openbox ] && ! command -v openbox >/dev/null; then
  echo "SKIP: openbox is not installed"
  exit 77
fi

work=$(mktemp -d /tmp/velmora-e2e.XXXXXX)
xvfb_pid=
wm_pid=
demo_pid=
cleanup() {
  for pid in $demo_pid $wm_pid $xvfb_pid; do
    kill "$pid" 2>/dev/null
  done
  for pid in $demo_pid $wm_pid $xvfb_pid; do
    for _ in $(seq 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL ($wm): $*"
  [ -f "$work/demo.log" ] && sed 's/^/  demo: /' "$work/demo.log"
  exit 1
}

# wait_for SECONDS COMMAND...: retries the command every 0.1 s.
wait_for() {
  local limit=$1
  shift
  local tries=$((limit * 10))
  for _ in $(seq "$tries"); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

# The server picks a free display number itself and reports it once ready.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" \
  >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
wait_for 20 grep -q . "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
unset XAUTHORITY
wait_for 10 xdpyinfo || fail "no answer from $DISPLAY"

if [ "$wm" = openbox ]; then
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  wm_pid=$!
  wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
    fail "openbox did not start"
fi

record=$work/text.txt
"$demo" --record "$record" --shot "$work/shot.png" >"$work/demo.log" 2>&1 &
demo_pid=$!

wait_for 15 xdotool search --onlyvisible --name '^Velmora Demo$' || fail "no window titled 'Velmora Demo'"
win=$(xdotool search --onlyvisible --name '^Velmora Demo$' | head -n1)
wait_for 5 test -s "$record.layout" || fail "no layout file"

geometry() {
  eval "$(xdotool getwindowgeometry --shell "$win")"
  win_x=$X win_y=$Y win_w=$WIDTH win_h=$HEIGHT
}
geometry
echo "window $win at $win_x,$win_y size ${win_w}x$win_h"
read -r _ el et er eb < <(grep '^edit ' "$record.layout")
read -r _ cl ct cr cb < <(grep '^clear ' "$record.layout")
read -r _ close_x close_y < <(grep '^close ' "$record.layout")
read -r _ cap_x cap_y < <(grep '^caption ' "$record.layout")

# The window is undecorated: the desktop adds no frame of its own.
if [ "$wm" = openbox ]; then
  extents=$(xprop -id "$win" _NET_FRAME_EXTENTS)
  case "$extents" in
    *"= 0, 0, 0, 0"*) ;;
    *) fail "window manager decorations: $extents" ;;
  esac
fi
xprop -id "$win" _NET_WM_NAME | grep -q '"Velmora Demo"' || fail "_NET_WM_NAME missing"

# point_at X Y: the pointer at window coordinates, once the server has moved it.
point_at() {
  xdotool mousemove --sync $((win_x + $1)) $((win_y + $2))
}

# click_at X Y: a click at window coordinates (moving there first, which
# without a window manager also gives the window the keyboard focus).
click_at() {
  point_at "$1" "$2"
  xdotool click 1
}

# Keys typed now reach the window: it has the X input focus (openbox), or,
# without a window manager, the focus follows the pointer and the pointer is
# over it.
keyboard_on_window() {
  local focus
  focus=$(xdotool getwindowfocus 2>/dev/null) || focus=
  [ "$focus" = "$win" ] && return 0
  [ "$wm" = none ] || return 1
  local WINDOW=
  eval "$(xdotool getmouselocation --shell 2>/dev/null)"
  [ "$WINDOW" = "$win" ]
}

# The program's own focus is on the named control (edit, clear, none).
focus_is() {
  [ "$(cat "$record.focus" 2>/dev/null)" = "$1" ]
}

# Waits until typing goes into the named control.
typing_into() {
  wait_for 10 keyboard_on_window || fail "the keyboard focus is not on the window"
  wait_for 10 focus_is "$1" || fail "the focus is on '$(cat "$record.focus")', expected $1"
}

expect_text() {
  local want=$1
  wait_for 10 sh -c "[ \"\$(cat '$record')\" = '$want' ]" ||
    fail "field holds '$(cat "$record")', expected '$want'"
  echo "ok: field holds '$want'"
}

click_at $(((el + er) / 2)) $(((et + eb) / 2))
typing_into edit
xdotool type --delay 30 'Hello, world'
expect_text 'Hello, world'
setxkbmap -layout ru || fail "cannot switch to a Russian layout"
xdotool type --delay 30 ' Привет, Ёж'
expect_text 'Hello, world Привет, Ёж'
xdotool key BackSpace BackSpace
expect_text 'Hello, world Привет, '

# The Clear button empties the field and gives it the focus back.
click_at $(((cl + cr) / 2)) $(((ct + cb) / 2))
expect_text ''
typing_into edit
xdotool type --delay 30 'Ещё'
expect_text 'Ещё'
setxkbmap -layout us || fail "cannot switch back to a US layout"

# Drag the window by its caption. The steps start once the program has seen
# the press (under openbox it has then handed the move to the window manager);
# each step waits until the window follows. A window manager that took over
# only after a step saw no motion for it: the same place is reached again by
# a one-pixel detour.
[ "$cap_x" -ge 0 ] || fail "no caption found"
old_x=$win_x old_y=$win_y
moves_before=$(cat "$record.moves" 2>/dev/null || echo 0)
point_at "$cap_x" "$cap_y"
xdotool mousedown 1
wait_for 10 sh -c "[ \"\$(cat '$record.moves' 2>/dev/null || echo 0)\" -gt $moves_before ]" ||
  fail "the program did not see the press on its caption"
at() {
  geometry
  [ "$win_x" -eq $((old_x + $1)) ] && [ "$win_y" -eq $((old_y + $2)) ]
}
for step in 1 2 3 4 5 6 7 8; do
  dx=$((step * 10)) dy=$((step * 5))
  xdotool mousemove --sync $((old_x + cap_x + dx)) $((old_y + cap_y + dy))
  if ! wait_for 2 at "$dx" "$dy"; then
    xdotool mousemove --sync $((old_x + cap_x + dx + 1)) $((old_y + cap_y + dy))
    xdotool mousemove --sync $((old_x + cap_x + dx)) $((old_y + cap_y + dy))
    wait_for 5 at "$dx" "$dy" || fail "step $step of the drag left the window at $win_x,$win_y"
  fi
done
xdotool mouseup 1
moved() {
  at 80 40
}
wait_for 5 moved || fail "caption drag moved the window to $win_x,$win_y (from $old_x,$old_y)"
echo "ok: caption drag moved the window by 80,40"

# The field still takes text after the move; Alt+C clicks Clear from the
# keyboard.
typing_into edit
xdotool type --delay 30 '!'
expect_text 'Ещё!'
xdotool key alt+c
expect_text ''
xdotool type --delay 30 'Bye'
expect_text 'Bye'

# Close with the caption's close button; the program saves its picture and ends.
[ "$close_x" -ge 0 ] || fail "no close button found"
geometry
click_at "$close_x" "$close_y"
for _ in $(seq 100); do kill -0 "$demo_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$demo_pid" 2>/dev/null && fail "the program did not end after its close button"
wait "$demo_pid"
status=$?
demo_pid=
[ "$status" -eq 0 ] || fail "the program ended with status $status"

# The picture is a PNG as large as the window.
[ -s "$work/shot.png" ] || fail "no picture written"
read -r png_w png_h < <(od -An -tu1 -j16 -N8 "$work/shot.png" |
  awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
[ "$png_w" -eq "$win_w" ] && [ "$png_h" -eq "$win_h" ] ||
  fail "picture is ${png_w}x$png_h, window ${win_w}x$win_h"
echo "PASS ($wm)"
