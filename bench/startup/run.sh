#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up of the calculator as a desktop user sees it, beside two references:
#   floor       a bare Qt window of the same size
#   floor_text  the bare window showing one line of Chinese text in the
#               calculator's built-in font
#   floor_system_text  the same line in the system's CJK font, as an
#               ordinary Qt program shows Chinese
# Wall time from process start to the first frame, CPU time and peak resident
# memory, on a private virtual X display with a private D-Bus session bus
# (a desktop always has one; without it every Qt program waits for one to be
# launched on demand, which has nothing to do with its own start-up).
#   bench/startup/run.sh [DIR_WITH_EXECUTABLES [OUTPUT_DIR]]
# ROUNDS (default 40, at least 30) interleaved rounds; see measure.py.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
bin_dir=${1:-build-bench/bench}
out_dir=${2:-$bin_dir/startup-results}
rounds=${ROUNDS:-40}
[ "$rounds" -ge 30 ] || { echo "ROUNDS must be at least 30 for a median to mean much" >&2; exit 1; }

floor=$bin_dir/startup_floor
floor_text=$bin_dir/startup_floor_text
floor_system_text=$bin_dir/startup_floor_system_text
ductcalc=$bin_dir/startup_ductcalc
for program in "$floor" "$floor_text" "$floor_system_text" "$ductcalc"; do
  [ -x "$program" ] || { echo "missing $program: build the bench targets first" >&2; exit 1; }
done
for tool in Xvfb dbus-daemon python3; do
  command -v "$tool" >/dev/null || { echo "missing $tool (make setup installs it)" >&2; exit 1; }
done
mkdir -p "$out_dir"

# shellcheck source=scripts/private_display.sh
. "$here/../../scripts/private_display.sh"
bus_file=$(mktemp)
runtime_dir=$(mktemp -d)
bus=""
cleanup() {
  [ -n "$bus" ] && kill "$bus" 2>/dev/null
  private_display_stop
  rm -rf "$bus_file" "$bus_file.pid" "$runtime_dir"
}
trap cleanup EXIT

private_display_start 1600x1200
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=$runtime_dir  # Qt wants one; a desktop session provides it

# The session bus: forks, then reports its address and process id.
dbus-daemon --session --fork --nopidfile --print-address=3 --print-pid=4 \
  3>"$bus_file" 4>"$bus_file.pid"
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$bus_file")
bus=$(head -n1 "$bus_file.pid")
[ -n "$DBUS_SESSION_BUS_ADDRESS" ] && [ -n "$bus" ] || { echo "dbus-daemon did not start" >&2; exit 1; }

# Each program must end by itself after its first frame; a hang fails here
# rather than in the middle of the measurement.
export DUCTCALC_EXIT_AFTER_FIRST_PAINT=1
for program in "$floor" "$floor_text" "$floor_system_text" "$ductcalc"; do
  timeout 20 "$program" || { echo "$program did not end after its first frame" >&2; exit 1; }
done

read -r load _ </proc/loadavg
if awk -v l="$load" -v n="$(nproc)" 'BEGIN { exit !(l > n / 2) }'; then
  echo "note: load average $load on $(nproc) cores; wall times will be noisy, compare CPU times too" >&2
fi

echo "== Process start to first frame (display $DISPLAY, private session bus)"
python3 "$here/measure.py" "$out_dir" "$rounds" \
  floor="$floor" floor_text="$floor_text" floor_system_text="$floor_system_text" \
  ductcalc="$ductcalc"
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)" | tee -a "$out_dir/summary.txt"
