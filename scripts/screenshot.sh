#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes a picture of the running window under a virtual X display.
#   scripts/screenshot.sh PROGRAM OUTPUT.png [SCALE]
set -euo pipefail
program=$1
output=$2
scale=${3:-1}
# shellcheck source=scripts/private_display.sh
. "$(dirname "$0")/private_display.sh"
shot=$(mktemp --suffix=.png)
program_pid=
trap 'if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; fi
      private_display_stop; rm -f "$shot"' EXIT

private_display_start 1600x1200
QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale "$program" >/dev/null 2>&1 &
program_pid=$!
# Without a window manager the window has no decorations: the picture is
# its client area, centred on the screen.
private_display_wait_until_drawn "$shot"
width=$(awk -v s="$scale" 'BEGIN { printf "%d", 561 * s }')
height=$(awk -v s="$scale" 'BEGIN { printf "%d", 489 * s }')
convert "$shot" -crop "${width}x${height}+$(( (1600 - width) / 2 ))+$(( (1200 - height) / 2 ))" +repage "$output"
