#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Cuts the window font down to the characters the window shows: the captions,
# list entries and messages (every non-ASCII character in the sources of ui/
# and calc/), Qt's own Chinese texts that the window can show (the edit menu
# of a text box, the menu of a scroll bar), printable ASCII and the
# full-width forms an input method types. Loading a 5 MB CJK font for a few
# dozen glyphs costs more memory than the rest of the window; a typed
# character outside the subset still shows, in the system font listed after
# it.
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
qt_translations=/usr/share/qt6/translations/qtbase_zh_CN.qm
[ -f "$qt_translations" ] || {
  apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y qt6-translations-l10n
}
/usr/bin/python3 - "$chars" "$qt_translations" ui calc <<'PY'
import pathlib, struct, sys
out, qm, *folders = sys.argv[1:]
text = {chr(c) for c in range(0x20, 0x7F)}
# Full-width forms (digits, point, signs, letters, comma) and the ideographic
# space and full stop, as a Chinese input method types them.
text |= {chr(c) for c in range(0xFF01, 0xFF5F)} | {'\u3000', '\u3001', '\u3002'}
for folder in folders:
    for path in pathlib.Path(folder).rglob('*'):
        if path.suffix in ('.cpp', '.h'):
            text |= {c for c in path.read_text(encoding='utf-8') if ord(c) > 0x7F}

# Qt's translations of the texts its widgets show in the window: the edit
# menu of a text box and the menu of a scroll bar. A .qm file is a list of
# tagged blocks; its messages are tagged records (3 translation in UTF-16,
# 6 source text, 7 context, 8 comment, 5 four bytes of nothing, 1 end).
shown_contexts = {'QLineEdit', 'QWidgetTextControl', 'QScrollBar', 'QUnicodeControlCharacterMenu'}
data = pathlib.Path(qm).read_bytes()
pos, messages = 16, b''
while pos < len(data):
    tag, size = data[pos], struct.unpack('>I', data[pos + 1:pos + 5])[0]
    if tag == 0x69:
        messages = data[pos + 5:pos + 5 + size]
    pos += 5 + size
i, context, translations = 0, None, []
while i < len(messages):
    tag = messages[i]
    i += 1
    if tag == 1:
        if context in shown_contexts:
            for t in translations:
                text |= {c for c in t if ord(c) > 0x7F}
        context, translations = None, []
    elif tag in (3, 6, 7, 8):
        size = struct.unpack('>I', messages[i:i + 4])[0]
        i += 4
        if size == 0xFFFFFFFF:
            continue
        field = messages[i:i + size]
        i += size
        if tag == 3:
            translations.append(field.decode('utf-16-be'))
        elif tag == 7:
            context = field.decode('utf-8')
    elif tag == 5:
        i += 4
    else:
        sys.exit(f'{qm}: unknown record {tag}')
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
