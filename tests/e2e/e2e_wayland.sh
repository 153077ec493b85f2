#!/usr/bin/env bash
# The real program as a Wayland client of Weston: a session named on the
# command line opens once the splash is closed, its frame has the session's
# colour at its place, and its tunnel moves, in screenshots Weston takes.
#
# Weston runs on its X11 back end inside Xvfb rather than headless: every
# start shows the splash until it is closed, and a headless Weston has no
# keyboard to close it with. Weston, not X, is what the program draws for.
#
#   e2e_wayland.sh <kelvane program> <folder of the sample sessions' JSON> [session]
#
# Exit status 0 when everything holds, 1 on a failed check, 77 when a tool
# is missing (CTest reports the test as skipped).
set -euo pipefail

program=$1
json="$2/${3:-ember}.json"
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=desktop.sh
. "$here/desktop.sh"
have_tools Xvfb openbox xdotool xprop weston weston-screenshooter convert identify od || exit 77
[ -r "$json" ] || { echo "FAIL: no session description at $json"; exit 1; }

weston_pid=""
# Weston first: desktop_stop waits for every child of this script.
before_stop() { [ -z "$weston_pid" ] || kill "$weston_pid" 2>/dev/null || true; }
work_start kelvane-wayland
desktop_start "$work"

red=$(session_int ColorR) green=$(session_int ColorG) blue=$(session_int ColorB)
x1=$(session_int AreaX1) y1=$(session_int AreaY1) x2=$(session_int AreaX2) y2=$(session_int AreaY2)

# ---- Weston ------------------------------------------------------------------------
runtime="$work/runtime"
mkdir -m 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
# --debug lets weston-screenshooter take pictures; no idle time, so the
# screen never fades under the test.
weston --backend=x11-backend.so --use-pixman --debug --idle-time=0 --socket=kelvane-test \
  --width=1024 --height=768 >"$work/weston.log" 2>&1 &
weston_pid=$!
wait_for 20 test -S "$runtime/kelvane-test" || fail "Weston did not start: $(cat "$work/weston.log")"

# ---- The program, a session on its command line ------------------------------------
home="$work/home"
mkdir -p "$home"
(
  unset DISPLAY XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME
  export HOME="$home" WAYLAND_DISPLAY=kelvane-test QT_QPA_PLATFORM=wayland
  exec "$program" "$home/.local/share/Kelvane/Ambrels/$(basename "$json" .json).db" >"$home.log" 2>&1
) &
app_pid=$!

shot() {
  rm -f "$work"/wayland-screenshot-*.png
  (cd "$work" && WAYLAND_DISPLAY=kelvane-test weston-screenshooter >/dev/null 2>&1) || fail "weston-screenshooter failed"
  mv "$work"/wayland-screenshot-*.png "$work/$1.png"
  screen_pixels "$work/$1.png" "$work/$1.txt"
}
# The splash: the only window to take the keyboard; Escape closes it.
sleep 4
kill -0 "$app_pid" 2>/dev/null || fail "the program ended: $(cat "$home.log")"
xdotool search --class weston windowactivate --sync >/dev/null 2>&1 || true
xdotool key --clearmodifiers Escape
sleep 3
shot first
sleep 0.5
shot second
[ -n "${KELVANE_E2E_SHOT:-}" ] && cp "$work/second.png" "$KELVANE_E2E_SHOT"

# ---- The frame at its place, the tunnel moving --------------------------------------
# Below Weston's panel; the window's own title bar and menu lie in the search.
find_frame "$work/second.txt" "$red" "$green" "$blue" "$x1" "$y1" "$x2" "$y2" at:0,32
moved=$(awk -v x1="$((ox + x1 + 3))" -v y1="$((oy + y1 + 3))" -v x2="$((ox + x2 - 3))" -v y2="$((oy + y2 - 3))" '
  $1 < x1 || $1 >= x2 || $2 < y1 || $2 >= y2 { next }
  NR == FNR { before[$1 "," $2] = $3 " " $4 " " $5; next }
  before[$1 "," $2] != $3 " " $4 " " $5 { n++ }
  END { print n + 0 }' "$work/first.txt" "$work/second.txt")
total=$(( (x2 - x1 - 6) * (y2 - y1 - 6) ))
echo "inside the area: $moved of $total pixels changed in half a second"
[ "$moved" -gt $((total / 20)) ] || fail "the tunnel does not move"
kill -0 "$app_pid" 2>/dev/null || fail "the program ended: $(cat "$home.log")"
echo "PASS: a Wayland client of Weston, the session from the command line framed and moving"
