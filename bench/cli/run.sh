#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# ductcalc-cli table over one million segments, end to end: read the CSV,
# compute every segment, write the table to /dev/null, as CSV and as JSON,
# and read the same rows saved as GB18030 (by iconv). Wall time with
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
gb="$work/run_${rows}_gb18030.csv"
if [ ! -s "$gb" ]; then
  iconv -f UTF-8 -t GB18030 "$input" >"$gb"
fi
echo "ductcalc-cli table: $rows segments, $(du -h "$input" | cut -f1) of CSV"
hyperfine --warmup 1 --runs 5 --export-json "$work/table.json" \
  -n csv "$program table $input >/dev/null" \
  -n json "$program table --format json $input >/dev/null" \
  -n gb18030 "$program table $gb >/dev/null"
peak() {
  /usr/bin/time -v "$program" table "$@" >/dev/null 2>"$work/time.txt"
  awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }' "$work/time.txt"
}
csv_kb=$(peak "$input")
json_kb=$(peak --format json "$input")
means=$(sed -n 's/.*"mean": *\([0-9.e+-]*\).*/\1/p' "$work/table.json" | head -3 | tr '\n' ' ')
read -r csv json gb18030 <<<"$means"
awk -v c="$csv" -v j="$json" -v g="$gb18030" -v ck="$csv_kb" -v jk="$json_kb" 'BEGIN {
  printf "CSV  %.3f s, peak %.1f MB (goal under 1.5 s and 30 MB)\n", c, ck / 1024
  printf "JSON %.3f s, peak %.1f MB (goal under 1.5 s and 30 MB)\n", j, jk / 1024
  printf "GB18030 input %.3f s, %+.1f %% over UTF-8 (goal at most +20 %%)\n", g, (g / c - 1) * 100 }'
