#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian package on this machine, starts the program from its
# desktop entry on a private X display, and removes the package again,
# checking that nothing of it is left. Changes the system: run it as root on
# a machine (or container) meant for it, not from the test suite.
#   install_check.sh PACKAGE.deb
set -euo pipefail
deb=$(realpath "$1")
[ "$(id -u)" -eq 0 ] || { echo "run as root: it installs $deb" >&2; exit 2; }
if dpkg-query -W -f='${Status}' ductcalc 2>/dev/null | grep -q "install ok installed"; then
  echo "ductcalc is already installed; remove it first" >&2; exit 2
fi

display_file=$(mktemp)
runtime_dir=$(mktemp -d)
xvfb="" program=""
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$display_file" "$runtime_dir"
}
trap cleanup EXIT

DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb" >/dev/null
files=$(dpkg -L ductcalc | while read -r f; do if [ -f "$f" ]; then echo "$f"; fi; done)
entry=$(echo "$files" | grep '^/usr/share/applications/.*\.desktop$')

# The program the desktop entry starts, the way a desktop starts it.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.05; done
export DISPLAY=:$(head -n1 "$display_file") XDG_RUNTIME_DIR=$runtime_dir QT_QPA_PLATFORM=xcb
exec_line=$(sed -n 's/^Exec=//p' "$entry" | head -n1)
$exec_line &
program=$!
sleep 3
kill -0 "$program" 2>/dev/null || { echo "the program from $entry did not stay up"; exit 1; }
colours=$(import -window root -colors 16 -format '%k' info: 2>/dev/null || echo 1)
[ "$colours" -gt 1 ] || { echo "the program from $entry shows no window"; exit 1; }
kill "$program"; wait "$program" 2>/dev/null || true
program=""

DEBIAN_FRONTEND=noninteractive apt-get purge -y ductcalc >/dev/null
left=$(echo "$files" | while read -r f; do if [ -e "$f" ]; then echo "$f"; fi; done)
[ -z "$left" ] || { echo "left behind after removal:"; echo "$left"; exit 1; }
echo "installs, starts from $(basename "$entry") and uninstalls cleanly: $(basename "$deb")"
