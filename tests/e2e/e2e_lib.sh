# Shared steps of the end-to-end scripts (sourced, not run): a private Xvfb
# with or without openbox, a work folder, bounded waits on conditions, and
# a clean-up that stops everything the script started.
#
#   source e2e_lib.sh
#   e2e_require xdotool xprop ...   # exits 77 (skipped) when a tool is missing
#   e2e_start_x none|openbox        # sets DISPLAY; $work is the work folder
#   e2e_track PID                   # stopped on exit, newest first
#
# Nothing here sleeps for a fixed time: wait_for retries a condition every
# 0.1 s until it holds or its limit passes.

e2e_name=${e2e_name:-e2e}
e2e_wm=${e2e_wm:-none}
e2e_pids=()
e2e_openbox_args=()  # extra arguments for openbox (a --config-file of the script's own)
work=$(mktemp -d "/tmp/velmora-$e2e_name.XXXXXX")

e2e_cleanup() {
  local pid i
  for ((i = ${#e2e_pids[@]} - 1; i >= 0; i--)); do
    kill "${e2e_pids[i]}" 2>/dev/null
  done
  for pid in "${e2e_pids[@]}"; do
    for _ in $(seq 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null
  done
  rm -rf "$work"
}
trap e2e_cleanup EXIT

e2e_track() {
  e2e_pids+=("$1")
}

# fail MESSAGE: reports, shows the program's log when there is one, exits 1.
fail() {
  echo "FAIL ($e2e_wm): $*"
  local log
  for log in "$work"/*.log; do
    [ -s "$log" ] && sed "s|^|  $(basename "$log" .log): |" "$log"
  done
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

e2e_require() {
  local tool
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIP: $tool is not installed (scripts/deps.sh installs it)"
      exit 77
    fi
  done
}

# e2e_start_x none|openbox: the server picks a free display number itself and
# reports it once ready; openbox counts as started once it has claimed the
# screen (_NET_SUPPORTING_WM_CHECK on the root).
e2e_start_x() {
  e2e_wm=$1
  e2e_require Xvfb xdpyinfo xprop
  if [ "$e2e_wm" = openbox ] && ! command -v openbox >/dev/null; then
    echo "SKIP: openbox is not installed"
    exit 77
  fi
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" \
    >"$work/xvfb.out" 2>&1 &
  e2e_track $!
  wait_for 20 grep -q . "$work/display" || fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$work/display")"
  unset XAUTHORITY
  wait_for 10 xdpyinfo || fail "no answer from $DISPLAY"
  if [ "$e2e_wm" = openbox ]; then
    openbox --sm-disable "${e2e_openbox_args[@]}" >"$work/openbox.out" 2>&1 &
    e2e_track $!
    wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
      fail "openbox did not start"
  fi
}

# The X window that has the keyboard: the focus window, or without a window
# manager (focus follows the pointer) the top-level window under the pointer.
e2e_keyboard_window() {
  local focus
  focus=$(xdotool getwindowfocus 2>/dev/null) || focus=
  if [ "$e2e_wm" = none ]; then
    local WINDOW=
    eval "$(xdotool getmouselocation --shell 2>/dev/null)"
    echo "$WINDOW"
  else
    echo "$focus"
  fi
}

# keyboard_on WINDOW: keys typed now reach that window.
keyboard_on() {
  [ "$(e2e_keyboard_window)" = "$1" ]
}

# pointer_at X Y: the pointer is at that screen point.
# pointer_to X Y: moves it there and waits until the server has it there
# (xdotool's own --sync waits for a motion, which never comes when the
# pointer is there already).
pointer_at() {
  local X= Y=
  eval "$(xdotool getmouselocation --shell 2>/dev/null)"
  [ "$X" = "$1" ] && [ "$Y" = "$2" ]
}
pointer_to() {
  xdotool mousemove "$1" "$2"
  wait_for 5 pointer_at "$1" "$2" || fail "the pointer did not reach $1,$2"
}

# The id of the visible window whose title matches the pattern; fails when
# there is none.
window_named() {
  local id
  id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
  [ -n "$id" ] && echo "$id"
}

# Counts the program's visible windows (menus and drop-downs included).
visible_windows() {
  xdotool search --onlyvisible --class Velmora 2>/dev/null | wc -l
}
