# A private desktop for scripts that run the real program: an X server with a
# window manager, optionally a PulseAudio server with a null sink, a fresh
# home, and the steps a person takes in Kelvane's windows. Sourced, not run.
#
#   desktop_start WORK     Xvfb and openbox; exports DISPLAY
#   pulse_start WORK       a PulseAudio server; exports PULSE_SERVER
#   kelvane_start PROGRAM  the program with HOME=$WORK/home; sets app_pid, main
#   ...                    see below
#   desktop_stop           ends everything these functions started
#
# The functions report a failure with `fail`, which the caller may redefine.

xvfb_pid="" wm_pid="" app_pid="" pulse_dir=""

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

# The X tools, PulseAudio's or both, by name; false when one is missing.
have_tools() {
  local tool
  for tool in "$@"; do command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; return 1; }; done
}

desktop_start() {
  local work=$1
  # Xvfb picks a free display itself and writes its number, so runs side by
  # side never share a server.
  # -noreset: a server resets when its last client leaves, and a client
  # connecting during that reset is refused (the probes below connect and leave).
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  wait_for 20 grep -q '[0-9]' "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(tr -dc 0-9 <"$work/display")"
  wait_for 20 xdotool getdisplaygeometry || fail "Xvfb did not start on $DISPLAY"
  # Without a window manager the window is neither maximised nor activated.
  openbox >"$work/openbox.log" 2>&1 &
  wm_pid=$!
  wait_for 30 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
    fail "openbox did not start: $(cat "$work/openbox.log")"
}

# A server of our own with a null sink, whose monitor parec can record.
pulse_start() {
  pulse_dir="$1/pulse"
  mkdir -p "$pulse_dir/runtime" "$pulse_dir/home"
  chmod 700 "$pulse_dir/runtime"
  HOME="$pulse_dir/home" XDG_RUNTIME_DIR="$pulse_dir/runtime" \
    pulseaudio -n --daemonize=yes --exit-idle-time=-1 --use-pid-file=yes \
    --load="module-null-sink sink_name=kelvane_test" \
    --load="module-native-protocol-unix socket=$pulse_dir/socket" >"$pulse_dir/log" 2>&1 ||
    fail "PulseAudio did not start: $(cat "$pulse_dir/log")"
  export PULSE_SERVER="unix:$pulse_dir/socket"
  wait_for 20 pactl info || fail "PulseAudio does not answer on $PULSE_SERVER"
}

pulse_pid() { cat "$pulse_dir/runtime/pulse/pid" 2>/dev/null; }

# Starts the program with a fresh home in $1 and waits for its main window.
kelvane_start() {
  local program=$1 home=$2
  mkdir -p "$home" "$home/.runtime"
  chmod 700 "$home/.runtime"
  (
    unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME
    export HOME="$home" XDG_RUNTIME_DIR="$home/.runtime" QT_QPA_PLATFORM=xcb
    exec "$program" >"$home.log" 2>&1
  ) &
  app_pid=$!
  wait_for 30 window_shown '^Kelvane   v 1\.1$' || fail "the main window did not appear"
  main=$(find_window '^Kelvane   v 1\.1$')
}

find_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
window_shown() { [ -n "$(find_window "$1")" ]; }
window_gone() { [ -z "$(find_window "$1")" ]; }

# The splash stays until it is closed with the window's close command.
close_splash() {
  wait_for 30 window_shown '^ $' || fail "the splash did not appear at the first activation"
  local splash
  splash=$(find_window '^ $')
  xdotool windowactivate --sync "$splash" >/dev/null 2>&1 || true
  xdotool key --clearmodifiers alt+F4
  wait_for 10 window_gone '^ $' || fail "the splash did not close"
}

# File > Open Ambrel, the path typed into the file dialog; returns once the
# dialog has closed. chosen_at holds the time of the Return key.
open_session() {
  local path=$1 dialog
  xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
  xdotool key --clearmodifiers alt+f
  sleep 0.5
  xdotool key --clearmodifiers o
  wait_for 15 window_shown '^Open$' || fail "the file dialog did not open"
  dialog=$(find_window '^Open$')
  xdotool windowactivate --sync "$dialog" >/dev/null 2>&1 || true
  sleep 0.5
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 20 "$path"
  chosen_at=$(date +%s.%N)
  xdotool key --clearmodifiers Return
  wait_for 15 window_gone '^Open$' || fail "the file dialog did not close"
}

# File > Exit; returns the program's exit code.
exit_program() {
  xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
  xdotool key --clearmodifiers alt+f
  sleep 0.5
  xdotool key --clearmodifiers e
  local _
  for _ in $(seq 1 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$app_pid" 2>/dev/null && fail "the program did not end after File > Exit"
  local status=0
  wait "$app_pid" || status=$?
  app_pid=""
  return "$status"
}

# CPU seconds (user and system) the process has used so far.
cpu_seconds() {
  awk -v tck="$(getconf CLK_TCK)" '{ print ($14 + $15) / tck }' "/proc/$1/stat"
}

# Share of one core the process uses over the next $2 seconds, in percent.
cpu_percent() {
  local pid=$1 seconds=$2 before after
  before=$(cpu_seconds "$pid")
  sleep "$seconds"
  after=$(cpu_seconds "$pid")
  awk -v a="$before" -v b="$after" -v s="$seconds" 'BEGIN { printf "%.1f", 100 * (b - a) / s }'
}

desktop_stop() {
  # Only what these functions started, by their own process ids.
  local pid
  for pid in $app_pid $wm_pid $xvfb_pid; do kill "$pid" 2>/dev/null || true; done
  if [ -n "$pulse_dir" ]; then
    pid=$(pulse_pid)
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  fi
  wait 2>/dev/null || true
}
