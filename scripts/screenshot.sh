#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes a picture of the running window under a virtual X display.
#   scripts/screenshot.sh PROGRAM OUTPUT.png [SCALE]
set -euo pipefail
program=$1
output=$2
scale=${3:-1}
display=:$((90 + RANDOM % 9))
shot=$(mktemp --suffix=.png)

Xvfb "$display" -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
program_pid=
trap 'kill $program_pid $xvfb 2>/dev/null || true; rm -f "$shot"' EXIT
sleep 1
DISPLAY=$display QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale "$program" >/dev/null 2>&1 &
program_pid=$!
sleep 3
# Without a window manager the window has no decorations: the picture is
# its client area, centred on the screen.
DISPLAY=$display import -window root "$shot"
width=$(awk -v s="$scale" 'BEGIN { printf "%d", 561 * s }')
height=$(awk -v s="$scale" 'BEGIN { printf "%d", 489 * s }')
convert "$shot" -crop "${width}x${height}+$(( (1600 - width) / 2 ))+$(( (1200 - height) / 2 ))" +repage "$output"
