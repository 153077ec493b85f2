#!/usr/bin/env bash
# Builds the Debian package from a configured and built build folder, checks
# its contents and the desktop entries, installs it with apt-get, starts the
# installed /usr/bin/kelvane and /usr/bin/kelvane-editor in Xvfb until their
# windows show, and removes the package again. Needs root (apt-get) and the X tools of the e2e test.
#
#   packaging/check_package.sh <build folder>
set -euo pipefail

build=$(cd "$1" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/kelvane-package.XXXXXX")
xvfb_pid="" wm_pid="" app_pid="" editor_pid="" installed=""
cleanup() {
  for pid in $editor_pid $app_pid $wm_pid $xvfb_pid; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  [ -z "$installed" ] || apt-get remove -y -q kelvane >/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
wait_for() {
  local tries=$(($1 * 10)); shift
  until "$@" >/dev/null 2>&1; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

(cd "$build" && cpack -G DEB >"$work/cpack.log") || { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls -t "$build"/kelvane_*.deb | head -1)
echo "package: $(basename "$deb")"
dpkg-deb --field "$deb" Depends
for path in ./usr/bin/kelvane ./usr/bin/ambrel ./usr/bin/kelvane-editor ./usr/share/applications/kelvane.desktop \
            ./usr/share/applications/kelvane-editor.desktop \
            ./usr/share/icons/hicolor/32x32/apps/kelvane.png ./usr/share/icons/hicolor/256x256/apps/kelvane.png \
            ./usr/share/icons/hicolor/32x32/apps/kelvane-editor.png \
            ./usr/share/icons/hicolor/256x256/apps/kelvane-editor.png \
            ./usr/share/mime/packages/kelvane.xml \
            ./usr/share/doc/kelvane/README.md ./usr/share/doc/kelvane/LICENSE.txt; do
  dpkg-deb --contents "$deb" | awk '{print $NF}' | grep -qx "$path" || fail "$path is not in the package"
done
for dep in libqt6widgets6 libqt6dbus6 libfluidsynth3 libpulse0 libxss1 pxlib1 qt6-wayland "timgm6mb-soundfont | fluid-soundfont-gm"; do
  dpkg-deb --field "$deb" Depends | grep -qF "$dep" || fail "the package does not depend on $dep"
done
for entry in kelvane kelvane-editor; do
  dpkg-deb --fsys-tarfile "$deb" | tar -xO "./usr/share/applications/$entry.desktop" >"$work/$entry.desktop"
  desktop-file-validate "$work/$entry.desktop" || fail "the desktop entry $entry.desktop is not valid"
done

apt-get install -y -q "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get install failed"; }
installed=yes
[ -x /usr/bin/kelvane ] && [ -x /usr/bin/ambrel ] && [ -x /usr/bin/kelvane-editor ] || fail "the programs are not in /usr/bin"
# shared-mime-info's trigger has taken the session type into the desktop's database.
grep -q 'application/x-kelvane-ambrel' /usr/share/mime/types || fail "the session MIME type is not in the MIME database"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
wait_for 20 grep -q '[0-9]' "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(tr -dc 0-9 <"$work/display")"
openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
mkdir -p "$work/home"
HOME="$work/home" /usr/bin/kelvane >"$work/kelvane.log" 2>&1 &
app_pid=$!
wait_for 30 sh -c 'xdotool search --onlyvisible --name "^Kelvane   v 1\.1$" | grep -q .' ||
  { cat "$work/kelvane.log"; fail "the installed program showed no main window"; }
[ -f "$work/home/.local/share/Kelvane/Ambrels/blue_calm.db" ] || fail "the installed program wrote no sample sessions"
# The editor, with a sample session named as a file manager would name it.
HOME="$work/home" /usr/bin/kelvane-editor "$work/home/.local/share/Kelvane/Ambrels/blue_calm.db" >"$work/editor.log" 2>&1 &
editor_pid=$!
wait_for 30 sh -c 'xdotool search --onlyvisible --name "^blue_calm\.db - Kelvane Editor$" | grep -q .' ||
  { cat "$work/editor.log"; fail "the installed editor showed no window with the session"; }
echo "PASS: the package installs, /usr/bin/kelvane and /usr/bin/kelvane-editor start and show their windows, and the package is removed again"
