#!/usr/bin/env bash
# What Kelvane costs on a desktop with a sound server, measured on the real
# program in a private X server and a private PulseAudio server:
#
#   - CPU with nothing open, the server running;
#   - CPU while ember.db (Density 3, Form 2) plays through the server, beside
#     the same session on the silent clock (no server), in the same run;
#   - CPU and wake-ups a second of each of the program's threads meanwhile;
#   - time from choosing the file in the dialog to hearing its first note;
#   - peak memory while playing;
#
# for the SoundFont the system has: /usr/share/sounds/sf2/default-GM.sf2,
# which `update-alternatives --config default-GM.sf2` chooses.
#
#   bench/desktop_sound_bench.sh build/app/kelvane
set -euo pipefail

program=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../tests/e2e/desktop.sh
. "$here/../tests/e2e/desktop.sh"
have_tools Xvfb openbox xdotool xprop pulseaudio pactl parec od || exit 77

work=$(mktemp -d "${TMPDIR:-/tmp}/kelvane-bench.XXXXXX")
trap 'desktop_stop; rm -rf "$work"' EXIT
desktop_start "$work"

font=$(realpath /usr/share/sounds/sf2/default-GM.sf2 2>/dev/null || echo "the first of the program's list")
echo "SoundFont: $font"

# Starts the program, closes the splash, and lets it settle.
start_program() {
  kelvane_start "$program" "$1"
  close_splash
  sleep 2
}

# Each thread of process $1 over the next $2 seconds: its name, its wake-ups
# a second (voluntary context switches) and its share of a core, busiest first.
thread_costs() {
  local pid=$1 seconds=$2
  snapshot() {
    local task
    for task in /proc/"$pid"/task/*; do
      # The name may hold spaces; the fields after it are counted from its ")".
      printf '%s|%s|%s\n' "$(cat "$task/comm")" \
        "$(sed 's/.*) //' "$task/stat" | awk '{ print $12 + $13 }')" \
        "$(awk '/^voluntary_ctxt_switches/ { print $2 }' "$task/status")"
    done 2>/dev/null
  }
  snapshot >"$work/threads-before"
  sleep "$seconds"
  snapshot >"$work/threads-after"
  awk -F'|' -v s="$seconds" -v tck="$(getconf CLK_TCK)" '
    NR == FNR { cpu[$1] += $2; wakes[$1] += $3; next }
    { dc[$1] += $2; dw[$1] += $3 }
    END {
      for (n in dc) printf "%s: %.0f wake-ups/s, %.1f %%\n", n, (dw[n] - wakes[n]) / s, 100 * (dc[n] - cpu[n]) / tck / s
    }' "$work/threads-before" "$work/threads-after" | sort -t: -k2 -rn | head -6 | paste -sd';' | sed 's/;/; /g'
}

# Waits for the first sound in the sink's monitor; prints when it was heard.
# parec keeps 10 ms of buffer; od and awk add a few milliseconds at most.
listen_for_first_note() {
  parec --device=kelvane_test.monitor --format=s16le --rate=44100 --channels=1 --raw --latency-msec=10 2>/dev/null |
    od -An -v -td2 -w2 |
    awk '$1 > 300 || $1 < -300 { system("date +%s.%N"); exit }' >"$work/heard" &
  listener=$!
  sleep 1
}

# ---- Through the sound server ----------------------------------------------
pulse_start "$work"
start_program "$work/home"
idle=$(cpu_percent "$app_pid" 10)
server_idle=$(cpu_percent "$(pulse_pid)" 5)

listen_for_first_note
open_session "$work/home/.local/share/Kelvane/Ambrels/ember.db"
wait_for 10 test -s "$work/heard" || fail "no sound reached the server within 10 s"
latency=$(awk -v a="$chosen_at" -v b="$(cat "$work/heard")" 'BEGIN { printf "%.0f", 1000 * (b - a) }')
kill "$listener" 2>/dev/null || true
sleep 1
playing=$(cpu_percent "$app_pid" 10)
threads=$(thread_costs "$app_pid" 6)
peak=$(awk '/VmHWM/ { printf "%.0f", $2 / 1024 }' "/proc/$app_pid/status")
exit_program || true
output=$(grep -o 'sound output: .*' "$work/home.log" | head -1)

# ---- The silent clock, no server --------------------------------------------
kill "$(pulse_pid)" 2>/dev/null || true
export PULSE_SERVER="unix:$work/no-server"
start_program "$work/home2"
silent_idle=$(cpu_percent "$app_pid" 5)
open_session "$work/home2/.local/share/Kelvane/Ambrels/ember.db"
sleep 2
silent=$(cpu_percent "$app_pid" 10)
silent_threads=$(thread_costs "$app_pid" 6)
exit_program || true
grep -q 'silent clock' "$work/home2.log" || echo "(the second run did not use the silent clock: $(cat "$work/home2.log"))"

ratio=$(awk -v a="$playing" -v b="$silent" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
cat <<REPORT

| Measure | Kelvane |
|---|---|
| $output | |
| CPU, nothing open, server running | $idle % of a core (the server: $server_idle %) |
| CPU, nothing open, no server | $silent_idle % |
| CPU while ember.db plays through the server | $playing % |
| CPU while ember.db plays on the silent clock | $silent % |
| server / silent clock | ${ratio}x |
| threads through the server | $threads |
| threads on the silent clock | $silent_threads |
| choosing the file to hearing the first note | $latency ms |
| peak memory while playing | $peak MB |
REPORT
