# A private desktop for scripts that run the real program: an X server with a
# window manager and a session bus, optionally a PulseAudio server with a
# null sink, a fresh home, and the steps a person takes in Kelvane's windows.
# Sourced, not run.
#
#   desktop_start WORK     Xvfb, openbox and a session bus; exports DISPLAY and DBUS_SESSION_BUS_ADDRESS
#   pulse_start WORK       a PulseAudio server; exports PULSE_SERVER
#   kelvane_start PROGRAM  the program with HOME=$WORK/home; sets app_pid, main
#   editor_start PROGRAM   the session editor likewise; sets app_pid, editor
#   ...                    see below
#   desktop_stop           ends everything these functions started
#
# The functions report a failure with `fail`, which the caller may redefine.

xvfb_pid="" wm_pid="" bus_pid="" app_pid="" pulse_dir=""

# A work folder of its own, $work, removed when the script ends (kept with
# KELVANE_E2E_KEEP set), after `before_stop` if the script defines one and
# everything these functions started.
work_start() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/$1.XXXXXX")
  trap work_stop EXIT
}
work_stop() {
  if declare -F before_stop >/dev/null; then before_stop; fi
  desktop_stop
  if [ -n "${KELVANE_E2E_KEEP:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi
}

# An integer of the session description $json: session_int ColorR
session_int() { grep -o "\"$1\": *-\?[0-9]*" "$json" | head -1 | grep -o -- '-\?[0-9]*$'; }

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
  bus_start "$work"
}

# A session bus of our own, so the programs under test neither reach the
# user's desktop nor have libdbus launch a bus for them. It starts no
# services: only those a test runs itself are on it.
bus_start() {
  local work=$1
  command -v dbus-daemon >/dev/null || return 0
  cat >"$work/bus.conf" <<CONF
<busconfig>
  <type>session</type>
  <listen>unix:path=$work/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/></policy>
</busconfig>
CONF
  dbus-daemon --config-file="$work/bus.conf" --fork --nopidfile --print-address=3 --print-pid=4 \
    3>"$work/bus.address" 4>"$work/bus.pid" 2>"$work/bus.log" || fail "dbus-daemon did not start: $(cat "$work/bus.log")"
  bus_pid=$(cat "$work/bus.pid")
  DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/bus.address")
  export DBUS_SESSION_BUS_ADDRESS
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

# Empty once the server has gone (it removes its pid file as it ends).
pulse_pid() { cat "$pulse_dir/runtime/pulse/pid" 2>/dev/null || true; }

# Runs a program in the background with the home $1 (made if needed), its
# output in $2, and the arguments after them; sets app_pid.
start_in_home() {
  local home=$1 log=$2
  shift 2
  mkdir -p "$home" "$home/.runtime"
  chmod 700 "$home/.runtime"
  (
    unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME
    export HOME="$home" XDG_RUNTIME_DIR="$home/.runtime" QT_QPA_PLATFORM=xcb
    exec "$@" >"$log" 2>&1
  ) &
  app_pid=$!
}

# Starts the program with a fresh home in $1 and waits for its main window.
kelvane_start() {
  local program=$1 home=$2
  start_in_home "$home" "$home.log" "$program"
  wait_for 30 window_shown '^Kelvane   v 1\.1$' || fail "the main window did not appear"
  main=$(find_window '^Kelvane   v 1\.1$')
}

# Starts the session editor with the home $2 and any file arguments after
# it, and waits for its window.
editor_start() {
  local program=$1 home=$2
  shift 2
  start_in_home "$home" "$home.editor.log" "$program" "$@"
  wait_for 30 window_shown ' - Kelvane Editor$' || fail "the editor's window did not appear"
  editor=$(find_window ' - Kelvane Editor$')
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
  local path=$1
  xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
  xdotool key --clearmodifiers alt+f
  sleep 0.5
  xdotool key --clearmodifiers o
  type_into_file_dialog 'Open' "$path"
  wait_for 15 window_gone '^Open$' || fail "the file dialog did not close"
}

# A path typed into Qt's file dialog of that title, over what its name box
# holds, and Return; chosen_at holds the time of the Return key.
type_into_file_dialog() {
  local title=$1 path=$2 dialog
  wait_for 15 window_shown "^$title\$" || fail "the $title dialog did not open"
  dialog=$(find_window "^$title\$")
  xdotool windowactivate --sync "$dialog" >/dev/null 2>&1 || true
  sleep 0.5
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 20 "$path"
  chosen_at=$(date +%s.%N)
  xdotool key --clearmodifiers Return
}

# File > Exit; returns the program's exit code.
exit_program() {
  xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
  xdotool key --clearmodifiers alt+f
  sleep 0.5
  xdotool key --clearmodifiers e
  program_ended "File > Exit"
}

# Waits up to 10 seconds for the program to end after $1; returns its exit code.
program_ended() {
  local _
  for _ in $(seq 1 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$app_pid" 2>/dev/null && fail "the program did not end after $1"
  local status=0
  wait "$app_pid" || status=$?
  app_pid=""
  return "$status"
}

# Every pixel of the screenshot $1 as "x y r g b" lines in $2.
screen_pixels() {
  local width
  width=$(identify -format %w "$1")
  convert "$1" -depth 8 rgb:- | od -An -v -tu1 -w3 |
    awk -v w="$width" '{ i = NR - 1; print i % w, int(i / w), $1, $2, $3 }' >"$2"
}

# Finds the stimulus area's frame of colour r g b around x1 y1 x2 y2 (the
# session's corners) in the pixels $1 of a screenshot, below and right of
# the X window $9's client origin (or of the point "at:X,Y", on a screen
# that is no X server's), and checks its rectangles; sets ox and oy to the
# surface's origin on the screen. The menu bar's height depends on the
# fonts, so the origin is where the outer two rectangles land.
find_frame() {
  local pixels=$1 r=$2 g=$3 b=$4 x1=$5 y1=$6 x2=$7 y2=$8 window=$9 client_x client_y origin
  if [[ $window == at:* ]]; then
    IFS=, read -r client_x client_y <<<"${window#at:}"
  else
    read -r client_x client_y < <(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF} END {print x, y}')
  fi
  origin=$(awk -v r="$r" -v g="$g" -v b="$b" -v x1="$x1" -v y1="$y1" -v x2="$x2" -v y2="$y2" \
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
    }' "$pixels")
  [ "$origin" != "none" ] || fail "no frame of colour ($r,$g,$b) around ($x1,$y1)-($x2,$y2) on the screen"
  read -r ox oy <<<"$origin"
  echo "surface origin on the screen: ($ox,$oy)"
  # All three rectangles, each edge sampled every 10 pixels. The innermost
  # one lies inside the clip, where the tunnel draws over it, so it is only
  # reported; the outer two must be whole.
  awk -v r="$r" -v g="$g" -v b="$b" -v x1="$((ox + x1))" -v y1="$((oy + y1))" \
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
    }' "$pixels" || fail "the frame rectangles do not have the session colour"
}

# Checks that the patched template $1 holds the instrument $2 and the keys of
# the rows after it, each a list "c,c,...,c" of 13 note codes; with a copy of
# the template from before the patch in $3 (or ""), also counts the keys
# that changed.
check_template() {
  local template=$1 instrument=$2 before=$3
  shift 3
  local keys=(60 60 63 65 66 67 70 72 75 77 78 79 82 84)  # the blues scale, by note code
  local changed=0 key=60 i=0 j code offset on off codes
  byte_at() { od -An -tu1 -j "$2" -N1 "$1" | tr -d ' '; }
  for row in "$@"; do
    i=$((i + 1))
    IFS=, read -r -a codes <<<"$row"
    for j in $(seq 0 12); do
      code=${codes[$j]}
      if [ "$code" -ge 0 ] && [ "$code" -le 13 ]; then key=${keys[$code]}; fi
      offset=$((105 * i + 8 * j - 32))
      on=$(byte_at "$template" "$offset") off=$(byte_at "$template" $((offset + 4)))
      [ "$on" = "$key" ] && [ "$off" = "$key" ] ||
        fail "row $i note $j: key bytes $on/$off at $offset, expected $key"
      if [ -n "$before" ] && [ "$(byte_at "$before" "$offset")" != "$key" ]; then changed=$((changed + 1)); fi
    done
  done
  [ "$(byte_at "$template" 55)" = "$instrument" ] || fail "instrument byte $(byte_at "$template" 55), expected $instrument"
  echo "template $(basename "$template"): all $i x 13 keys and the instrument in place${before:+ ($changed keys changed)}"
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
  for pid in $app_pid $wm_pid $xvfb_pid $bus_pid; do kill "$pid" 2>/dev/null || true; done
  if [ -n "$pulse_dir" ]; then
    pid=$(pulse_pid)
    # A server a test stopped (SIGSTOP) takes SIGTERM only once it runs again.
    [ -n "$pid" ] && { kill -CONT "$pid"; kill "$pid"; } 2>/dev/null || true
    # No child of ours: it removes its pid file as it exits, and writes into
    # its directory until then.
    wait_for 5 test ! -e "$pulse_dir/runtime/pulse/pid" || true
  fi
  wait 2>/dev/null || true
}
