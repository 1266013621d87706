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

# shellcheck source=scripts/private_display.sh
. "$(dirname "$0")/../../scripts/private_display.sh"
runtime_dir=$(mktemp -d)
program=""
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null
  private_display_stop
  rm -rf "$runtime_dir"
}
trap cleanup EXIT

DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb" >/dev/null
files=$(dpkg -L ductcalc | while read -r f; do if [ -f "$f" ]; then echo "$f"; fi; done)
entry=$(echo "$files" | grep '^/usr/share/applications/.*\.desktop$')

# The program the desktop entry starts, the way a desktop starts it.
private_display_start 1024x768
export XDG_RUNTIME_DIR=$runtime_dir QT_QPA_PLATFORM=xcb
exec_line=$(sed -n 's/^Exec=//p' "$entry" | head -n1)
$exec_line &
program=$!
private_display_wait_until_drawn "" 20 || { echo "the program from $entry shows no window"; exit 1; }
kill -0 "$program" 2>/dev/null || { echo "the program from $entry did not stay up"; exit 1; }
kill "$program"; wait "$program" 2>/dev/null || true
program=""

DEBIAN_FRONTEND=noninteractive apt-get purge -y ductcalc >/dev/null
left=$(echo "$files" | while read -r f; do if [ -e "$f" ]; then echo "$f"; fi; done)
[ -z "$left" ] || { echo "left behind after removal:"; echo "$left"; exit 1; }
echo "installs, starts from $(basename "$entry") and uninstalls cleanly: $(basename "$deb")"
