#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# ductcalc-cli system end to end: a random tree of one million segments
# (goal under 3 s and 500 MB) and a building of 2,000 segments (goal under
# 50 ms), read, computed and written as CSV to /dev/null. Wall time with
# hyperfine, peak memory with /usr/bin/time -v.
#   run_system.sh PROGRAM WORK_DIR
set -euo pipefail
program=$1
work=$2
here=$(dirname "$0")
mkdir -p "$work"
for rows in 1000000 2000; do
  input="$work/system_${rows}.csv"
  if [ ! -s "$input" ]; then
    bash "$here/make_system.sh" "$rows" >"$input"
  fi
  echo "ductcalc-cli system: $rows segments, $(du -h "$input" | cut -f1) of CSV"
  hyperfine --warmup 1 --runs 5 --export-json "$work/system_${rows}.json" \
    "$program system --format csv $input >/dev/null"
  /usr/bin/time -v "$program" system --format csv "$input" >/dev/null 2>"$work/system_time.txt"
  peak_kb=$(awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }' \
    "$work/system_time.txt")
  mean=$(sed -n 's/.*"mean": *\([0-9.e+-]*\).*/\1/p' "$work/system_${rows}.json" | head -1)
  awk -v s="$mean" -v kb="$peak_kb" -v rows="$rows" 'BEGIN {
    goal = rows >= 1000000 ? "3 s and 500 MB" : "0.05 s"
    printf "%d segments: mean wall time %.3f s, peak memory %.1f MB (goal under %s)\n",
           rows, s, kb / 1024, goal }'
done

# Sizing and balancing the same trees with every size left empty: the
# velocity method with the 公共建筑 preset, then --balance (goal: 2,000
# segments under 50 ms; one million under 5 s and 600 MB).
for rows in 1000000 2000; do
  input="$work/system_${rows}.csv"
  empty="$work/system_${rows}_unsized.csv"
  if [ ! -s "$empty" ]; then
    awk -F, 'BEGIN { OFS = "," } NR == 1 { print; next } { $5 = ""; print }' "$input" >"$empty"
  fi
  sizing="$program system --format csv --size velocity --preset public --balance $empty"
  echo "ductcalc-cli system --size velocity --balance: $rows segments"
  # A random tree carries flows no standard size meets near its fan: those
  # rows are said on the error stream, and the status is 1.
  hyperfine --warmup 1 --runs 5 -i --export-json "$work/sizing_${rows}.json" \
    "$sizing >/dev/null 2>&1"
  /usr/bin/time -v $sizing >/dev/null 2>"$work/sizing_time.txt" || true
  peak_kb=$(awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }' \
    "$work/sizing_time.txt")
  mean=$(sed -n 's/.*"mean": *\([0-9.e+-]*\).*/\1/p' "$work/sizing_${rows}.json" | head -1)
  awk -v s="$mean" -v kb="$peak_kb" -v rows="$rows" 'BEGIN {
    goal = rows >= 1000000 ? "5 s and 600 MB" : "0.05 s"
    printf "%d segments sized and balanced: mean wall time %.3f s, peak memory %.1f MB (goal under %s)\n",
           rows, s, kb / 1024, goal }'
done
