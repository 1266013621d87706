#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every fuzz target of a fuzz build for a bounded time and reports what
# each did and found.
#
#   fuzz/run.sh BUILD_DIR SECONDS   one long run per target; the corpus grows in
#                                   BUILD_DIR/corpus and is kept for the next run
#   fuzz/run.sh BUILD_DIR smoke     a short fixed run per target over the
#                                   committed corpus, for `make test`
#
# The committed seeds in fuzz/corpus/ are only read. Findings are written to
# BUILD_DIR/findings/<target>/; the exit status is 1 when there is any.
set -uo pipefail

build=${1:?usage: run.sh BUILD_DIR SECONDS|smoke}
mode=${2:?usage: run.sh BUILD_DIR SECONDS|smoke}
here=$(cd "$(dirname "$0")" && pwd)
targets=(fuzz_text_value fuzz_number_text fuzz_recalc fuzz_zeta_sum fuzz_size_text fuzz_table_file
         fuzz_paste_block fuzz_sheet_rows)

if [ "$mode" = smoke ]; then
  # The same inputs every time: a failure here is reproducible.
  options=(-runs=20000 -max_total_time=10 -seed=1)
else
  case $mode in *[!0-9]* | "") echo "SECONDS must be a whole number" >&2; exit 2 ;; esac
  options=(-max_total_time="$mode")
fi

summary=()
found=0
for target in "${targets[@]}"; do
  binary=$build/fuzz/$target
  seeds=$here/corpus/$target
  findings=$build/findings/$target
  log=$build/logs/$target.log
  if [ "$mode" = smoke ]; then
    corpus=$build/smoke/$target
    rm -rf "$corpus"
  else
    corpus=$build/corpus/$target
  fi
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  before=$(ls "$findings" | wc -l)

  echo "== $target (${options[*]})"
  "$binary" "${options[@]}" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$findings/" "$corpus" "$seeds" >"$log" 2>&1
  status=$?

  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  [ "${speed:-0}" = 0 ] && speed="(<1 s)"
  cov=$(grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+' "$log" | tail -1)
  new=$(( $(ls "$findings" | wc -l) - before ))
  if [ "$status" -ne 0 ] && [ "$new" -eq 0 ]; then new=1; fi
  if [ "$new" -gt 0 ]; then
    found=1
    grep -E 'PROPERTY VIOLATED|^SUMMARY|runtime error|ERROR: ' "$log" | head -5
    echo "   log: $log"
    ls -t "$findings" | head -"$new" | sed "s|^|   input: $findings/|"
  fi
  summary+=("$(printf '%-18s %10s runs %8s exec/s   %-32s findings: %s' \
    "$target" "${runs:-?}" "${speed:-?}" "${cov:-cov: ?}" "$new")")
done

echo
printf '%s\n' "${summary[@]}"
exit "$found"
