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

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=desktop.sh
. "$here/desktop.sh"
have_tools Xvfb openbox xdotool xprop xwininfo import convert identify od || exit 77
[ -x "$program" ] || { echo "FAIL: no program at $program"; exit 1; }
[ -r "$json" ] || { echo "FAIL: no session description at $json"; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/kelvane-e2e.XXXXXX")
cleanup() {
  desktop_stop
  if [ -n "${KELVANE_E2E_KEEP:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
desktop_start "$work"

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
data="$home/.local/share/Kelvane"
kelvane_start "$program" "$home"
echo "main window $main"
[ -d "$data/Ambrels" ] || fail "the session directory was not created"
ambrel="$data/Ambrels/$session.db"
[ -f "$ambrel" ] || fail "the sample session $session.db is missing from $data/Ambrels"
template="$data/Audio_Information/SEQ_${#rows[@]}X.MID"
[ -f "$template" ] || fail "the template $(basename "$template") was not written"
cp "$template" "$work/template-before.mid"

close_splash

# ---- File > Open Ambrel, the path typed into the file dialog -----------------
open_session "$ambrel"
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
status=0
exit_program || status=$?
[ "$status" -eq 0 ] || { cat "$home.log"; fail "the program ended with exit code $status"; }

# ---- What the visit wrote ------------------------------------------------------
# The data directory, and nothing else: no settings, not even the file
# dialog's history that Qt would keep in ~/.config/QtProject.conf.
written=$(cd "$home" && find . -path ./.runtime -prune -o -type f -print | sed 's|^\./||' | sort)
unexpected=$(printf '%s\n' "$written" | grep -v -E '^\.local/share/Kelvane/(Ambrels/[a-z_]+\.db|Audio_Information/SEQ_[0-9]+X?\.MID)$' || true)
[ -z "$unexpected" ] || fail "the visit wrote outside the data directory: $(echo $unexpected)"
echo "the visit wrote $(printf '%s\n' "$written" | wc -l) files, all in the data directory"
echo "PASS: $session opened, framed, drawn, patched; the program ended with exit code 0"
