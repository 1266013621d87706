#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# ductcalc-cli system and table on the same rows: one million segments of
# a run named 1-2, 2-3, … with every air volume given, so that both compute
# every segment alone and system adds only its nodes, paths and fan. The run
# carries one air volume from end to end, through ducts of many sizes: a
# volume that changed along a run with no branch would be a warning on every
# row, and the ratio would measure the warnings. Prints
# the CPU time (user + system) of each, the best of three, and their ratio
# (goal: system at most 1.5 times table), with one job and with the default.
#   run_ratio.sh PROGRAM WORK_DIR [ROWS]
set -euo pipefail
program=$1
work=$2
rows=${3:-1000000}
mkdir -p "$work"
input="$work/run_${rows}.csv"
if [ ! -s "$input" ]; then
  awk -v rows="$rows" 'BEGIN {
    srand(20261212)
    split("100 160 200 250 320 400 500 630 800 1000 1250", d, " ")
    split("120 160 200 250 320 400 500 630 800 1000", s, " ")
    print "segment,flow,size,length,zeta,dp"
    flow = 200 + int(rand() * 20000)
    for (i = 1; i <= rows; i++) {
      if (i % 2 == 0) size = "φ" d[1 + int(rand() * 11)]
      else size = s[1 + int(rand() * 10)] "x" s[1 + int(rand() * 10)]
      printf "%d-%d,%d,%s,%.1f,%.2f,%s\n", i, i + 1, flow, size,
             rand() * 20, rand() * 2, (i % 7 == 0) ? "20" : ""
    }
  }' >"$input"
fi
# The least CPU time of three runs, in seconds.
cpu() {
  local best=""
  for _ in 1 2 3; do
    /usr/bin/time -f "%U %S" -o "$work/ratio_time.txt" "$program" "$@" >/dev/null
    local t
    t=$(awk '{ printf "%.3f", $1 + $2 }' "$work/ratio_time.txt")
    if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$t; fi
  done
  echo "$best"
}
echo "ductcalc-cli system and table on the same $rows rows (CPU time, best of 3)"
for jobs in 1 default; do
  option=()
  [ "$jobs" = default ] || option=(--jobs "$jobs")
  table=$(cpu table --format csv "${option[@]}" "$input")
  system=$(cpu system --format csv "${option[@]}" "$input")
  awk -v t="$table" -v s="$system" -v j="$jobs" 'BEGIN {
    printf "jobs %-7s table %.3f s, system %.3f s: system / table %.2f (goal at most 1.5)\n",
           j, t, s, s / t }'
done
