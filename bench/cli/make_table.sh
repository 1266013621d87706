#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes a duct run of N segments (default one million) as CSV to stdout:
# varied air volumes, units, round and rectangular sizes, materials, a
# custom roughness now and then, both formulas, quoted segment names.
set -euo pipefail
rows=${1:-1000000}
awk -v rows="$rows" 'BEGIN {
  srand(20261210)
  split("m3/h m3/min l/s CFM m3/h", units, " ")
  split("100 160 200 250 320 400 500 630 800 1000 1250", d, " ")
  split("120 160 200 250 320 400 500 630 800 1000", s, " ")
  split("thin-steel plastic 薄钢板 concrete wood brick", m, " ")
  print "segment,flow,unit,size,length,zeta,material,k,formula"
  for (i = 1; i <= rows; i++) {
    u = units[1 + i % 5]
    flow = sprintf("%.1f", 200 + rand() * 20000)
    if (u == "m3/min") flow = sprintf("%.2f", flow / 60)
    if (u == "l/s") flow = sprintf("%.1f", flow / 3.6)
    if (u == "CFM") flow = sprintf("%.1f", flow / 1.699)
    if (i % 3 == 0) size = "φ" d[1 + int(rand() * 11)]
    else if (i % 3 == 1) size = s[1 + int(rand() * 10)] "x" s[1 + int(rand() * 10)]
    else size = d[1 + int(rand() * 11)]
    mat = m[1 + i % 6]; k = ""
    if (i % 17 == 0) { mat = ""; k = sprintf("%.2f", 0.05 + rand()) }
    printf "\"S-%d, run %d\",%s,%s,%s,%.1f,%.2f,%s,%s,%d\n", i, int(i / 100), flow, u, size,
           rand() * 30, rand() * 3, mat, k, 1 + i % 2
  }
}'
