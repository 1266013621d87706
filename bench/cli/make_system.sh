#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes a duct system of N segments (default one million) as CSV to stdout:
# a random tree from the fan's node 1 (each new node hangs from a node
# already there, so branches of every size), air volumes on the outlets
# only, the others summed toward the fan; round and rectangular sizes, loss
# coefficients written as sums now and then, a fixed loss on every outlet.
set -euo pipefail
rows=${1:-1000000}
awk -v rows="$rows" 'BEGIN {
  srand(20261211)
  split("100 160 200 250 320 400 500 630 800 1000 1250", d, " ")
  split("120 160 200 250 320 400 500 630 800 1000", s, " ")
  for (i = 1; i <= rows; i++) {
    parent[i] = 1 + int(rand() * i)
    inner[parent[i]] = 1
  }
  print "segment,from,to,flow,size,length,zeta,dp"
  for (i = 1; i <= rows; i++) {
    to = i + 1
    if (i % 2 == 0) size = "φ" d[1 + int(rand() * 11)]
    else size = s[1 + int(rand() * 10)] "x" s[1 + int(rand() * 10)]
    zeta = (i % 5 == 0) ? sprintf("%.2f+%.2f", rand(), rand()) : sprintf("%.2f", rand() * 2)
    if (to in inner) {
      flow = ""; dp = ""
    } else {
      flow = sprintf("%.0f", 100 + rand() * 1900); dp = "20"
    }
    printf "%d-%d,%d,%d,%s,%s,%.1f,%s,%s\n", parent[i], to, parent[i], to, flow, size,
           rand() * 20, zeta, dp
  }
}'
