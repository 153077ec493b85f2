#!/usr/bin/env bash
# Kelvane on a desktop's session bus, driven as the desktop drives it: a
# session named on the command line opens once the splash is closed; the
# media controls (playerctl) read its title and length and drive Pause,
# RESUME and Stop; stand-in portal and ScreenSaver services record that the
# screen is kept on while it plays, through the portal while one runs and
# else through the ScreenSaver service, and let go on pause, on stop and
# after its end. All this while the sound server hangs (a private
# PulseAudio server stopped with SIGSTOP): the session plays on the silent
# clock and the window answers throughout. A file that is not a session,
# named on the command line, is refused in a box, and the window runs on.
#
#   e2e_desktop.sh <kelvane program> <desktop_standin program>
#
# Exit status 0 when everything holds, 1 on a failed check, 77 when a tool
# is missing (CTest reports the test as skipped).
set -euo pipefail

program=$1
standin=$2

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=desktop.sh
. "$here/desktop.sh"
have_tools Xvfb openbox xdotool xprop dbus-daemon playerctl pulseaudio pactl || exit 77

standin_pid=""
before_stop() { [ -z "$standin_pid" ] || kill "$standin_pid" 2>/dev/null || true; }
work_start kelvane-desktop
desktop_start "$work"
[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || fail "no session bus"

# The stand-in services, offering what the arguments say; their calls go to $work/calls.
standin_start() {
  [ -z "$standin_pid" ] || { kill "$standin_pid"; wait "$standin_pid" 2>/dev/null || true; }
  : >"$work/standin.out"
  "$standin" "$@" >"$work/standin.out" 2>>"$work/standin.log" &
  standin_pid=$!
  wait_for 10 grep -q '^ready$' "$work/standin.out" || fail "the stand-in services did not start: $(cat "$work/standin.log")"
}
calls() { cat "$work"/calls-* "$work/standin.out" 2>/dev/null | grep -v '^ready$' || true; }
called() { calls | grep -q -- "$1"; }
status_is() { [ "$(playerctl --player=kelvane status 2>/dev/null)" = "$1" ]; }
remote() {
  playerctl --player=kelvane "$1" || fail "playerctl $1 failed"
  wait_for 10 status_is "$2" || fail "after playerctl $1 the status is $(playerctl --player=kelvane status 2>&1), not $2"
}

# ---- A session on the command line, the portal running, the sound server hung ------
standin_start --portal --screensaver
pulse_start "$work"
kill -STOP "$(pulse_pid)"

home="$work/home"
# The sample sessions are written at the first start, before the file is opened.
start_in_home "$home" "$home.log" "$program" "$home/.local/share/Kelvane/Ambrels/quick_look.db"
wait_for 30 window_shown '^Kelvane   v 1\.1$' || fail "the main window did not appear"
main=$(find_window '^Kelvane   v 1\.1$')
status_is Stopped || fail "the media controls do not see a stopped player while the splash is up"
close_splash
wait_for 10 status_is Playing || fail "the session named on the command line does not play"
[ "$(playerctl --player=kelvane metadata --format '{{xesam:title}}|{{mpris:length}}')" = "Quick Look|4000000" ] ||
  fail "metadata: $(playerctl --player=kelvane metadata)"
wait_for 5 called 'portal Inhibit x11:[0-9a-f]* 8 -> ' || fail "the screen is not kept on through the portal: $(calls)"
request=$(calls | sed -n 's/^portal Inhibit .* -> //p' | head -1)
wait_for 10 grep -q 'PulseAudio: the server did not answer within 2 s' "$home.log" ||
  fail "the hung server was not reported: $(cat "$home.log")"

remote pause Paused
wait_for 5 called "portal Close $request" || fail "Pause did not let the screen go: $(calls)"

# ---- Without a portal the ScreenSaver service is asked -----------------------------
cp "$work/standin.out" "$work/calls-portal"
standin_start --screensaver
remote play Playing
wait_for 5 called 'screensaver Inhibit Kelvane -> 101' || fail "RESUME did not keep the screen on: $(calls)"
remote stop Stopped
wait_for 5 called 'screensaver UnInhibit 101' || fail "Stop did not let the screen go: $(calls)"
# Play after Stop plays the session's one cycle again; then it ends, and the
# screen is let go once the end beep is over.
remote play Playing
wait_for 5 called 'screensaver Inhibit Kelvane -> 102' || fail "Play after Stop did not keep the screen on: $(calls)"
wait_for 15 status_is Stopped || fail "the session did not end"
wait_for 5 called 'screensaver UnInhibit 102' || fail "the end did not let the screen go: $(calls)"
[ "$(calls | grep -c 'Inhibit.* -> ')" -eq 3 ] || fail "the screen was asked to stay on more often than played: $(calls)"
echo "held while playing, let go on pause, stop and end: $(calls | paste -sd';')"
status=0
exit_program || status=$?
[ "$status" -eq 0 ] || { cat "$home.log"; fail "the program ended with exit code $status"; }

# ---- A file that is not a session -------------------------------------------------
echo "a shopping list" >"$work/notes.db"
start_in_home "$home" "$home.log" "$program" "$work/notes.db"
wait_for 30 window_shown '^Kelvane   v 1\.1$' || fail "the main window did not appear"
main=$(find_window '^Kelvane   v 1\.1$')
close_splash
wait_for 10 window_shown '^Kelvane$' || fail "no error box for a file that is not a session"
box=$(find_window '^Kelvane$')
xdotool windowactivate --sync "$box" >/dev/null 2>&1 || true
xdotool key --clearmodifiers Return
wait_for 10 window_gone '^Kelvane$' || fail "the error box did not close"
status_is Stopped || fail "the window does not answer after the error"
status=0
exit_program || status=$?
[ "$status" -eq 0 ] || { cat "$home.log"; fail "the program ended with exit code $status after the error"; }
grep -q 'cannot keep the screen on' "$home.log" && fail "a failure to keep the screen on was reported: $(cat "$home.log")"
echo "PASS: opened from the command line, driven by the media controls, the screen kept on while playing only"
