#!/usr/bin/env bash
# A whole first run of the program in a real X server, as a person would do it:
# start with a fresh home, close the splash, open a sample session through the
# menu and the file dialog, look at the screen, check the patched template,
# and leave through File > Exit.
#
#   e2e_session.sh <kelvane program> <folder of the sample sessions' JSON> [session]
#
# Exit status 0 when everything holds, 1 on a failed check, 77 when the X
# tools are missing (CTest reports the test as skipped).
set -euo pipefail

program=$1
json_dir=$2
session=${3:-ember}
json="$json_dir/$session.json"

for tool in Xvfb openbox xdotool xprop xwininfo import convert identify od; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ -x "$program" ] || { echo "FAIL: no program at $program"; exit 1; }
[ -r "$json" ] || { echo "FAIL: no session description at $json"; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/kelvane-e2e.XXXXXX")
xvfb_pid="" wm_pid="" app_pid=""
cleanup() {
  # Only what this script started, by its own process ids.
  for pid in $app_pid $wm_pid $xvfb_pid; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  if [ -n "${KELVANE_E2E_KEEP:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; exit 1; }

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local seconds=$1; shift
  local tries=$((seconds * 10))
  until "$@" >/dev/null 2>&1; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

# ---- X server and window manager -------------------------------------------
# Xvfb picks a free display itself and writes its number, so test runs side
# by side never share a server.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
wait_for 20 grep -q '[0-9]' "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
display=":$(tr -dc 0-9 <"$work/display")"
export DISPLAY=$display
wait_for 20 xdotool getdisplaygeometry || fail "Xvfb did not start on $display"
# Without a window manager the window is neither maximised nor activated.
openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
wait_for 30 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
  fail "openbox did not start: $(cat "$work/openbox.log")"

# ---- The session we are going to open --------------------------------------
json_int() { grep -o "\"$1\": *-\?[0-9]*" "$json" | head -1 | grep -o -- '-\?[0-9]*$'; }
red=$(json_int ColorR) green=$(json_int ColorG) blue=$(json_int ColorB)
x1=$(json_int AreaX1) y1=$(json_int AreaY1) x2=$(json_int AreaX2) y2=$(json_int AreaY2)
instrument=$(json_int InstrumentNumber)
# One line of 13 note codes per row, as the file lays them out.
mapfile -t rows < <(sed -n '/"Rows"/,/]]\|^ *]/p' "$json" | grep -o '\[[-0-9, ]*\]' | tr -d '[]' | tr -d ' ')
[ "${#rows[@]}" -gt 0 ] || fail "no note rows in $json"

# ---- First start -------------------------------------------------------------
home="$work/home"
mkdir -p "$home" "$work/runtime"
chmod 700 "$work/runtime"
data="$home/.local/share/Kelvane"
(
  unset XDG_DATA_HOME XDG_CONFIG_HOME
  export HOME="$home" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb
  exec "$program" >"$work/kelvane.log" 2>&1
) &
app_pid=$!

find_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
window_shown() { [ -n "$(find_window "$1")" ]; }
window_gone() { [ -z "$(find_window "$1")" ]; }
wait_for 30 window_shown '^Kelvane   v 1\.1$' || fail "the main window did not appear"
main=$(find_window '^Kelvane   v 1\.1$')
wait_for 30 window_shown '^ $' || fail "the splash did not appear at the first activation"
splash=$(find_window '^ $')
echo "main window $main, splash $splash"

[ -d "$data/Ambrels" ] || fail "the session directory was not created"
ambrel="$data/Ambrels/$session.db"
[ -f "$ambrel" ] || fail "the sample session $session.db is missing from $data/Ambrels"
template="$data/Audio_Information/SEQ_${#rows[@]}X.MID"
[ -f "$template" ] || fail "the template $(basename "$template") was not written"
cp "$template" "$work/template-before.mid"

# The splash stays until it is closed with the window's close command.
xdotool windowactivate --sync "$splash" >/dev/null 2>&1 || true
xdotool key --clearmodifiers alt+F4
wait_for 10 window_gone '^ $' || fail "the splash did not close"

# ---- File > Open Ambrel, the path typed into the file dialog -----------------
xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
xdotool key --clearmodifiers alt+f
sleep 0.5
xdotool key --clearmodifiers o
wait_for 15 window_shown '^Open$' || fail "the file dialog did not open"
dialog=$(find_window '^Open$')
xdotool windowactivate --sync "$dialog" >/dev/null 2>&1 || true
sleep 0.5
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "$ambrel"
xdotool key --clearmodifiers Return
wait_for 15 window_gone '^Open$' || fail "the file dialog did not close"
# A pop-up of the program still on the screen now (the dialog's list of
# completions, say) would swallow every key the user presses next.
sleep 0.5
for w in $(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null); do
  if xwininfo -id "$w" | grep -q 'Override Redirect State: yes'; then
    fail "a pop-up window ($(xwininfo -id "$w" | awk '/Width|Height/ {printf "%s ", $2}')) stayed open after the file dialog closed"
  fi
done

# Let the tunnel run for a while, then look.
sleep 3
import -window root "$work/screen.png"
[ -n "${KELVANE_E2E_SHOT:-}" ] && cp "$work/screen.png" "$KELVANE_E2E_SHOT"

# ---- The frame and the tunnel on the screen ----------------------------------
# Every pixel as "x y r g b", read once.
width=$(identify -format %w "$work/screen.png")
convert "$work/screen.png" -depth 8 rgb:- | od -An -v -tu1 -w3 |
  awk -v w="$width" '{ i = NR - 1; print i % w, int(i / w), $1, $2, $3 }' >"$work/pixels.txt"

# The surface's origin: the main window's client area sits below the menu
# bar, whose height depends on the fonts; the origin is where the outer two
# frame rectangles of the session land in the colour of the session.
read -r client_x client_y < <(xwininfo -id "$main" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF} END {print x, y}')
origin=$(awk -v r="$red" -v g="$green" -v b="$blue" -v x1="$x1" -v y1="$y1" -v x2="$x2" -v y2="$y2" \
             -v cx="$client_x" -v cy="$client_y" '
  $3 == r && $4 == g && $5 == b { px[$1 "," $2] = 1 }
  function frame_at(ox, oy,   grow, t, ok, x, y) {
    for (grow = 1; grow <= 2; ++grow) {
      for (t = 0; t <= 8; ++t) {
        x = ox + x1 + int((x2 - x1) * t / 8); y = oy + y1 + int((y2 - y1) * t / 8)
        if (!px[x "," (oy + y1 - grow)] || !px[x "," (oy + y2 - 1 + grow)]) return 0
        if (!px[(ox + x1 - grow) "," y] || !px[(ox + x2 - 1 + grow) "," y]) return 0
      }
    }
    return 1
  }
  END {
    for (dy = 0; dy <= 120; ++dy) for (dx = 0; dx <= 8; ++dx)
      if (frame_at(cx + dx, cy + dy)) { print cx + dx, cy + dy; exit }
    print "none"
  }' "$work/pixels.txt")
[ "$origin" != "none" ] || fail "no frame of colour ($red,$green,$blue) around ($x1,$y1)-($x2,$y2) on the screen"
read -r ox oy <<<"$origin"
echo "surface origin on the screen: ($ox,$oy)"

# All three rectangles, each edge sampled every 10 pixels. The innermost one
# lies inside the clip, where the tunnel draws over it, so it is only
# reported; the outer two must be whole.
awk -v r="$red" -v g="$green" -v b="$blue" -v x1="$((ox + x1))" -v y1="$((oy + y1))" \
    -v x2="$((ox + x2))" -v y2="$((oy + y2))" '
  $3 == r && $4 == g && $5 == b { px[$1 "," $2] = 1 }
  END {
    for (grow = 0; grow <= 2; ++grow) {
      n = 0; hit = 0
      for (x = x1; x < x2; x += 10) { n += 2; hit += px[x "," (y1 - grow)] + px[x "," (y2 - 1 + grow)] }
      for (y = y1; y < y2; y += 10) { n += 2; hit += px[(x1 - grow) "," y] + px[(x2 - 1 + grow) "," y] }
      printf "frame rectangle %d: %d of %d samples in the session colour\n", grow, hit, n
      if (grow > 0 && hit != n) bad = 1
    }
    exit bad
  }' "$work/pixels.txt" || fail "the frame rectangles do not have the session colour"

lit=$(awk -v x1="$((ox + x1 + 3))" -v y1="$((oy + y1 + 3))" -v x2="$((ox + x2 - 3))" -v y2="$((oy + y2 - 3))" '
  $1 >= x1 && $1 < x2 && $2 >= y1 && $2 < y2 && ($3 + $4 + $5) > 0 { n++ } END { print n + 0 }' "$work/pixels.txt")
total=$(( (x2 - x1 - 6) * (y2 - y1 - 6) ))
echo "inside the area: $lit of $total pixels lit"
[ "$lit" -gt $((total / 50)) ] || fail "the area is (nearly) all black: the tunnel does not run"
outside=$(awk -v x="$((ox + x2 + 20))" -v y1="$((oy + y1))" -v y2="$((oy + y2))" '
  $1 == x && $2 >= y1 && $2 < y2 && ($3 + $4 + $5) > 0 { n++ } END { print n + 0 }' "$work/pixels.txt")
[ "$outside" -eq 0 ] || fail "the tunnel draws outside the area ($outside pixels right of it)"

# ---- The template now holds the session's notes and instrument -------------
keys=(60 60 63 65 66 67 70 72 75 77 78 79 82 84)  # the blues scale, by note code
byte_at() { od -An -tu1 -j "$2" -N1 "$1" | tr -d ' '; }
changed=0
key=60
for i in $(seq 1 "${#rows[@]}"); do
  IFS=, read -r -a codes <<<"${rows[$((i - 1))]}"
  for j in $(seq 0 12); do
    code=${codes[$j]}
    if [ "$code" -ge 0 ] && [ "$code" -le 13 ]; then key=${keys[$code]}; fi
    offset=$((105 * i + 8 * j - 32))
    on=$(byte_at "$template" "$offset") off=$(byte_at "$template" $((offset + 4)))
    [ "$on" = "$key" ] && [ "$off" = "$key" ] ||
      fail "row $i note $j: key bytes $on/$off at $offset, expected $key"
    [ "$(byte_at "$work/template-before.mid" "$offset")" = "$key" ] || changed=$((changed + 1))
  done
done
[ "$(byte_at "$template" 55)" = "$instrument" ] || fail "instrument byte $(byte_at "$template" 55), expected $instrument"
echo "template $(basename "$template"): all ${#rows[@]} x 13 keys and the instrument in place ($changed keys changed)"

# ---- File > Exit ---------------------------------------------------------------
xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
xdotool key --clearmodifiers alt+f
sleep 0.5
xdotool key --clearmodifiers e
for _ in $(seq 1 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null && fail "the program did not end after File > Exit"
status=0
wait "$app_pid" || status=$?
app_pid=""
[ "$status" -eq 0 ] || { cat "$work/kelvane.log"; fail "the program ended with exit code $status"; }
echo "PASS: $session opened, framed, drawn, patched; the program ended with exit code 0"
