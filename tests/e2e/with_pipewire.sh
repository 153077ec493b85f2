#!/usr/bin/env bash
# Runs a command with PipeWire as the desktop's sound server: pipewire,
# wireplumber and pipewire-pulse (its PulseAudio server) in a runtime
# directory and home of their own, with a null sink named kelvane_test whose
# monitor the command can record. KELVANE_TEST_SOUND_SERVER names the
# server's socket and KELVANE_TEST_SOUND_SERVER_PID its process for the
# command. Meant to run inside dbus-run-session, which wireplumber needs.
#
#   with_pipewire.sh COMMAND [ARGUMENT...]
#
# Exits with the command's status, or 77 when PipeWire is not installed.
set -euo pipefail

for tool in pipewire wireplumber pipewire-pulse pactl; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/kelvane-pipewire.XXXXXX")
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill -CONT "$pid" 2>/dev/null || true; kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -m 700 "$work/runtime"
mkdir -p "$work/home"
export XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home"
unset XDG_CONFIG_HOME XDG_STATE_HOME XDG_DATA_HOME PULSE_SERVER PIPEWIRE_REMOTE
for daemon in pipewire wireplumber pipewire-pulse; do
  "$daemon" >"$work/$daemon.log" 2>&1 &
  pids+=($!)
done
socket="$XDG_RUNTIME_DIR/pulse/native"
export PULSE_SERVER="unix:$socket"
for _ in $(seq 1 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null 2>&1 || { cat "$work"/*.log; echo "FAIL: pipewire-pulse does not answer"; exit 1; }
pactl load-module module-null-sink sink_name=kelvane_test >/dev/null
pactl set-default-sink kelvane_test
echo "sound server: $(pactl info | sed -n 's/^Server Name: //p')"

export KELVANE_TEST_SOUND_SERVER="$socket" KELVANE_TEST_SOUND_SERVER_PID="${pids[2]}"
status=0
"$@" || status=$?
exit "$status"
