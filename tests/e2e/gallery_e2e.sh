#!/usr/bin/env bash
# End-to-end test of velmora-gallery under Xvfb with openbox: the program's
# main form and a dialog owned by it are on the screen, the desktop lists
# both but only the main form has a taskbar entry (_NET_CLIENT_LIST and
# _NET_WM_STATE_SKIP_TASKBAR), the application's own window never appears,
# and closing the main form from the desktop (Alt+F4) ends the program while
# the dialog is still open.
#
#   gallery_e2e.sh GALLERY_BINARY
#
# Exits 77 (skipped) when a tool is missing. Every wait has a limit, and the
# trap stops what the test started.
set -u

gallery=$1
for tool in Xvfb xdpyinfo xdotool xprop openbox; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (scripts/deps.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d /tmp/velmora-gallery-e2e.XXXXXX)
xvfb_pid=
wm_pid=
app_pid=
cleanup() {
  for pid in $app_pid $wm_pid $xvfb_pid; do
    kill "$pid" 2>/dev/null
  done
  for pid in $app_pid $wm_pid $xvfb_pid; do
    for _ in $(seq 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  [ -f "$work/app.log" ] && sed 's/^/  gallery: /' "$work/app.log"
  exit 1
}

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

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" \
  >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
wait_for 20 grep -q . "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
unset XAUTHORITY
wait_for 10 xdpyinfo || fail "no answer from $DISPLAY"
openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
  fail "openbox did not start"

"$gallery" --dialog >"$work/app.log" 2>&1 &
app_pid=$!

wait_for 30 xdotool search --onlyvisible --name '^Галерея$' || fail "no window titled 'Галерея'"
wait_for 30 xdotool search --onlyvisible --name '^О галерее$' || fail "no window titled 'О галерее'"
main=$(xdotool search --onlyvisible --name '^Галерея$' | head -n1)
dialog=$(xdotool search --onlyvisible --name '^О галерее$' | head -n1)

# The desktop's list of managed windows: both forms, and only the main form
# without the skip-taskbar state.
listed() {
  xprop -root _NET_CLIENT_LIST | grep -o '0x[0-9a-f]*' | while read -r id; do echo $((id)); done
}
wait_for 10 sh -c "xprop -root _NET_CLIENT_LIST | grep -q 0x" || fail "_NET_CLIENT_LIST is empty"
clients=$(listed)
echo "$clients" | grep -qx "$main" || fail "the main form is not in _NET_CLIENT_LIST"
echo "$clients" | grep -qx "$dialog" || fail "the dialog is not in _NET_CLIENT_LIST"
on_taskbar=0
for id in $clients; do
  if xprop -id "$id" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR; then
    continue
  fi
  on_taskbar=$((on_taskbar + 1))
  [ "$id" = "$main" ] || fail "window $id ($(xprop -id "$id" _NET_WM_NAME)) has a taskbar entry"
done
[ "$on_taskbar" -eq 1 ] || fail "$on_taskbar taskbar entries, expected 1"
xprop -id "$dialog" WM_TRANSIENT_FOR | grep -q "window id" || fail "the dialog has no owner"
echo "ok: one taskbar entry, the main form's"

# Closing the main form from the desktop ends the program, dialog or not.
# The key goes to the active window: make sure that is the main form first
# (a press that reached the dialog only hides it, and the next one tries again).
main_active() { [ "$(xdotool getactivewindow)" = "$main" ]; }
for attempt in 1 2 3; do
  xdotool windowactivate "$main" 2>/dev/null
  wait_for 5 main_active || continue
  xdotool key alt+F4
  for _ in $(seq 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$app_pid" 2>/dev/null || break
  echo "attempt $attempt: still running"
done
kill -0 "$app_pid" 2>/dev/null && fail "the program did not end when its main form closed"
wait "$app_pid"
status=$?
app_pid=
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "PASS"
