#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Cuts the window font down to the characters the window shows: the captions,
# list entries and messages (every non-ASCII character in the sources of ui/
# and calc/) and printable ASCII. Loading a 5 MB CJK font for a few dozen
# glyphs costs more memory than the rest of the window; a typed character
# outside the subset still shows, in the system font listed after it.
#   make_window_font.sh [OUTPUT]   (default: ui/resources/windowfont.ttf)
set -euo pipefail
cd "$(dirname "$0")/../../.."
output=${1:-ui/resources/windowfont.ttf}
source=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc

need=()
command -v hb-subset >/dev/null || need+=(libharfbuzz-bin)
/usr/bin/python3 -c 'import fontTools' 2>/dev/null || need+=(python3-fonttools)
[ -f "$source" ] || need+=(fonts-wqy-microhei)
if [ ${#need[@]} -gt 0 ]; then
  apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y "${need[@]}"
fi

chars=$(mktemp)
subset=$(mktemp --suffix=.ttf)
trap 'rm -f "$chars" "$subset"' EXIT
/usr/bin/python3 - "$chars" ui calc <<'PY'
import pathlib, sys
out, *folders = sys.argv[1:]
text = {chr(c) for c in range(0x20, 0x7F)}
for folder in folders:
    for path in pathlib.Path(folder).rglob('*'):
        if path.suffix in ('.cpp', '.h'):
            text |= {c for c in path.read_text(encoding='utf-8') if ord(c) > 0x7F}
pathlib.Path(out).write_text(''.join(sorted(text)), encoding='utf-8')
PY
hb-subset --face-index=0 --text-file="$chars" --output-file="$subset" "$source"

# A family name of its own: under the system font's name, Qt would pick the
# system's file instead.
/usr/bin/python3 - "$subset" "$output" <<'PY'
import sys
from fontTools.ttLib import TTFont
font = TTFont(sys.argv[1])
names = {1: 'Ductcalc Window Hei', 2: 'Regular', 3: 'Ductcalc Window Hei subset',
         4: 'Ductcalc Window Hei', 6: 'DuctcalcWindowHei', 16: 'Ductcalc Window Hei',
         17: 'Regular'}
table = font['name']
for record in list(table.names):
    if record.nameID in names:
        table.removeNames(nameID=record.nameID)
for name_id, value in names.items():
    table.setName(value, name_id, 3, 1, 0x409)
    table.setName(value, name_id, 1, 0, 0)
font.save(sys.argv[2])
PY
echo "$output: $(stat -c %s "$output") bytes, $(wc -m < "$chars") characters"
