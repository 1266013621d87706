#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# ductcalc-cli table over one million segments, end to end: read the CSV,
# compute every segment, write the table to /dev/null. Wall time with
# hyperfine, peak memory with /usr/bin/time -v.
#   run.sh PROGRAM WORK_DIR [ROWS]
set -euo pipefail
program=$1
work=$2
rows=${3:-1000000}
here=$(dirname "$0")
mkdir -p "$work"
input="$work/run_${rows}.csv"
if [ ! -s "$input" ]; then
  bash "$here/make_table.sh" "$rows" >"$input"
fi
echo "ductcalc-cli table: $rows segments, $(du -h "$input" | cut -f1) of CSV"
hyperfine --warmup 1 --runs 5 --export-json "$work/table.json" \
  "$program table $input >/dev/null"
/usr/bin/time -v "$program" table "$input" >/dev/null 2>"$work/time.txt"
peak_kb=$(awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }' "$work/time.txt")
mean=$(sed -n 's/.*"mean": *\([0-9.e+-]*\).*/\1/p' "$work/table.json" | head -1)
awk -v s="$mean" -v kb="$peak_kb" 'BEGIN {
  printf "mean wall time %.3f s (goal under 1.5 s), peak memory %.1f MB (goal under 30 MB)\n",
         s, kb / 1024 }'
