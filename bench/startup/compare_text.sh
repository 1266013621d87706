#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Shows that the program's own fontconfig configuration leaves the text as it
# is: screenshots of the window under Xvfb, once with the system's whole
# configuration (FONTCONFIG_FILE names it, which the program respects) and once
# with its own, compared pixel for pixel. Repeated under rendering preferences
# a user may set (full hinting, subpixel order, no antialiasing), each of
# which must change the picture, and change it the same way in both.
#   bench/startup/compare_text.sh [PROGRAM [OUTPUT_DIR]]
set -euo pipefail

program=${1:-build-bench/bench/startup_ductcalc}
out_dir=${2:-$(dirname "$program")/text-compare}
[ -x "$program" ] || { echo "missing $program" >&2; exit 1; }
for tool in Xvfb import identify compare; do
  command -v "$tool" >/dev/null || { echo "missing $tool (make setup installs it)" >&2; exit 1; }
done
mkdir -p "$out_dir"

# shellcheck source=scripts/private_display.sh
. "$(dirname "$0")/../../scripts/private_display.sh"
work=$(mktemp -d)
trap 'private_display_stop; rm -rf "$work"' EXIT
private_display_start 800x600
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work
unset DUCTCALC_EXIT_AFTER_FIRST_PAINT FONTCONFIG_FILE FONTCONFIG_PATH

# A user's fontconfig preference, as ~/.config/fontconfig/fonts.conf holds it.
user_preference() {  # name, property, typed value
  mkdir -p "$work/$1/fontconfig"
  cat >"$work/$1/fontconfig/fonts.conf" <<XML
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <match target="font"><edit name="$2" mode="assign">$3</edit></match>
</fontconfig>
XML
}
user_preference full-hinting hintstyle "<const>hintfull</const>"
user_preference subpixel-bgr rgba "<const>bgr</const>"
user_preference no-antialias antialias "<bool>false</bool>"

shot() {  # output file, then environment assignments
  local file=$1 pid
  shift
  env "$@" "$program" &
  pid=$!
  private_display_wait_until_drawn "$file"  # start-up, first frame, idle
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

status=0
for preference in system-default full-hinting subpixel-bgr no-antialias; do
  config_home=$work/$preference
  mkdir -p "$config_home"
  shot "$out_dir/$preference-system-config.png" XDG_CONFIG_HOME="$config_home" FONTCONFIG_FILE=/etc/fonts/fonts.conf
  shot "$out_dir/$preference-own-config.png" XDG_CONFIG_HOME="$config_home"
  differing=$(compare -metric AE "$out_dir/$preference-system-config.png" \
    "$out_dir/$preference-own-config.png" null: 2>&1 || true)
  changed=""
  if [ "$preference" != system-default ]; then
    changed=$(compare -metric AE "$out_dir/system-default-system-config.png" \
      "$out_dir/$preference-system-config.png" null: 2>&1 || true)
    changed=", $changed pixels differ from the default preferences"
  fi
  printf '%-15s own vs system configuration: %s pixels differ%s\n' "$preference" "$differing" "$changed"
  [ "$differing" = 0 ] || status=1
done
exit $status
