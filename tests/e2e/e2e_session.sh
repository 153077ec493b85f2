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

work_start kelvane-e2e
desktop_start "$work"

# ---- The session we are going to open --------------------------------------
red=$(session_int ColorR) green=$(session_int ColorG) blue=$(session_int ColorB)
x1=$(session_int AreaX1) y1=$(session_int AreaY1) x2=$(session_int AreaX2) y2=$(session_int AreaY2)
instrument=$(session_int InstrumentNumber)
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
screen_pixels "$work/screen.png" "$work/pixels.txt"
find_frame "$work/pixels.txt" "$red" "$green" "$blue" "$x1" "$y1" "$x2" "$y2" "$main"

lit=$(awk -v x1="$((ox + x1 + 3))" -v y1="$((oy + y1 + 3))" -v x2="$((ox + x2 - 3))" -v y2="$((oy + y2 - 3))" '
  $1 >= x1 && $1 < x2 && $2 >= y1 && $2 < y2 && ($3 + $4 + $5) > 0 { n++ } END { print n + 0 }' "$work/pixels.txt")
total=$(( (x2 - x1 - 6) * (y2 - y1 - 6) ))
echo "inside the area: $lit of $total pixels lit"
[ "$lit" -gt $((total / 50)) ] || fail "the area is (nearly) all black: the tunnel does not run"
outside=$(awk -v x="$((ox + x2 + 20))" -v y1="$((oy + y1))" -v y2="$((oy + y2))" '
  $1 == x && $2 >= y1 && $2 < y2 && ($3 + $4 + $5) > 0 { n++ } END { print n + 0 }' "$work/pixels.txt")
[ "$outside" -eq 0 ] || fail "the tunnel draws outside the area ($outside pixels right of it)"

# ---- The template now holds the session's notes and instrument -------------
check_template "$template" "$instrument" "$work/template-before.mid" "${rows[@]}"

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
