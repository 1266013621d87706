#!/usr/bin/env bash
# Start-up of the calculator beside the floor, a bare Qt window of the same
# size: wall time from process start to the first painted frame (hyperfine)
# and peak resident memory (GNU time), on a private virtual X display.
#   bench/startup/run.sh [DIR_WITH_EXECUTABLES [OUTPUT_DIR]]
# The executables are startup_ductcalc and startup_floor (bench/CMakeLists.txt).
#
# Two timings:
#  first frame  each run ends right after its first frame, and starts with
#               the X server idle (a short pause before each run): what a
#               user launching the program waits for. The goal applies here.
#  to exit      each run quits its event loop after the first frame and tears
#               down normally, runs back to back. Longer for both programs:
#               the teardown (the bare window's QApplication destructor waits
#               for Qt's D-Bus thread) and the X server still cleaning up
#               after the previous run add a similar fixed amount to each,
#               which makes the ratio look smaller than it is.
set -euo pipefail

bin_dir=${1:-build-bench/bench}
out_dir=${2:-$bin_dir/startup-results}
goal=1.3
memory_runs=10

ductcalc=$bin_dir/startup_ductcalc
floor=$bin_dir/startup_floor
for program in "$ductcalc" "$floor"; do
  [ -x "$program" ] || { echo "missing $program: build the bench targets first" >&2; exit 1; }
done
for tool in Xvfb hyperfine /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "missing $tool (make setup installs it)" >&2; exit 1; }
done
mkdir -p "$out_dir"

# Xvfb picks a free display itself and reports it once it accepts clients.
display_file=$(mktemp)
runtime_dir=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$display_file" "$runtime_dir"' EXIT
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb did not start" >&2; exit 1; }
  sleep 0.05
done
[ -s "$display_file" ] || { echo "Xvfb did not report a display" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$display_file")
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=$runtime_dir  # Qt wants one; a desktop session would provide it

# Each program must end by itself after its first frame, both ways; a hang
# fails here rather than in the middle of the timing.
for mode in 1 quit; do
  for program in "$floor" "$ductcalc"; do
    DUCTCALC_EXIT_AFTER_FIRST_PAINT=$mode timeout 20 "$program" ||
      { echo "$program did not end after its first frame" >&2; exit 1; }
  done
done

read -r load _ </proc/loadavg
if awk -v l="$load" -v n="$(nproc)" 'BEGIN { exit !(l > n / 2) }'; then
  echo "note: load average $load on $(nproc) cores; the wall-clock figures will be noisy," \
       "compare the CPU times" >&2
fi

echo "== Process start to first frame (display $DISPLAY)"
DUCTCALC_EXIT_AFTER_FIRST_PAINT=1 hyperfine -N --warmup 3 --runs 30 --prepare "sleep 0.1" \
  --export-markdown "$out_dir/startup.md" --export-csv "$out_dir/startup.csv" \
  -n floor "$floor" -n ductcalc "$ductcalc"

echo "== Process start to exit, quitting after the first frame, back to back"
DUCTCALC_EXIT_AFTER_FIRST_PAINT=quit hyperfine -N --warmup 3 --runs 30 \
  --export-markdown "$out_dir/to-exit.md" --export-csv "$out_dir/to-exit.csv" \
  -n floor "$floor" -n ductcalc "$ductcalc"

# Peak resident set size in KiB, the median of several runs.
peak_rss() {
  local program=$1 log
  log=$(mktemp)
  for _ in $(seq "$memory_runs"); do
    DUCTCALC_EXIT_AFTER_FIRST_PAINT=1 /usr/bin/time -v "$program" 2>"$log" >/dev/null
    awk -F': *' '/Maximum resident set size/ { print $2 }' "$log"
  done | sort -n | awk '{ v[NR] = $1 } END {
    if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
  rm -f "$log"
}
rss_floor=$(peak_rss "$floor")
rss_ductcalc=$(peak_rss "$ductcalc")

# One figure in milliseconds from hyperfine's CSV export, whose columns are
# command,mean,stddev,median,user,system,min,max in seconds. "cpu" is user
# plus system: the steadier figure when other work shares the machine.
stat_of() {
  awk -F, -v name="$2" -v what="$3" '$1 == name {
    v["mean"] = $2; v["stddev"] = $3; v["median"] = $4; v["cpu"] = $5 + $6
    printf "%.3f\n", v[what] * 1000 }' "$out_dir/$1.csv"
}
row() {  # program, timing file
  awk -v n="$1" -v m="$(stat_of "$2" "$1" mean)" -v s="$(stat_of "$2" "$1" stddev)" \
    -v md="$(stat_of "$2" "$1" median)" -v c="$(stat_of "$2" "$1" cpu)" \
    'BEGIN { printf "| %-8s | %7.1f ± %-6.1f | %6.1f | %8.1f |", n, m, s, md, c }'
}
ratio() {  # what, ductcalc figure, floor figure, goal or ""
  awk -v what="$1" -v a="$2" -v b="$3" -v g="$4" 'BEGIN {
    r = a / b; printf "%-32s ductcalc/floor = %.2f", what, r
    if (g != "") printf "  (goal <= %.1f: %s)", g, r <= g ? "met" : "NOT met"
    printf "\n" }'
}
{
  echo
  echo "| program  | first frame (ms) | median | CPU (ms) | to exit (ms)     | median | CPU (ms) | peak RSS (KiB) |"
  echo "|----------|------------------|--------|----------|------------------|--------|----------|----------------|"
  for p in floor ductcalc; do
    rss=$rss_floor
    [ "$p" = ductcalc ] && rss=$rss_ductcalc
    echo "$(row $p startup)$(row $p to-exit | cut -d'|' -f3-) $(printf '%14.0f |' "$rss")"
  done
  echo
  ratio "time to first frame (mean)" "$(stat_of startup ductcalc mean)" \
    "$(stat_of startup floor mean)" "$goal"
  ratio "peak memory (median)" "$rss_ductcalc" "$rss_floor" "$goal"
  ratio "time to first frame (median)" "$(stat_of startup ductcalc median)" \
    "$(stat_of startup floor median)" ""
  ratio "CPU to first frame" "$(stat_of startup ductcalc cpu)" "$(stat_of startup floor cpu)" ""
  ratio "time to exit (mean)" "$(stat_of to-exit ductcalc mean)" \
    "$(stat_of to-exit floor mean)" ""
  echo "times: hyperfine mean ± σ and median of 30 runs; peak RSS: median of $memory_runs runs"
  echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
} | tee "$out_dir/summary.txt"
