#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from a build folder and checks what it installs.
#   check_package.sh BUILD_DIR
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
deb=$(ls "$out"/*.deb)

# The files, nothing else (directories aside).
files=$(dpkg -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
expected=$(printf '%s\n' \
  ./usr/bin/ductcalc \
  ./usr/bin/ductcalc-cli \
  ./usr/bin/ductcalc-table \
  ./usr/share/man/man1/ductcalc-table.1.gz \
  ./usr/share/applications/org.example.ductcalc.table.desktop \
  ./usr/share/metainfo/org.example.ductcalc.table.metainfo.xml \
  ./usr/share/icons/hicolor/scalable/apps/ductcalc-table.svg \
  $(for s in 24 48 64 128 256; do echo ./usr/share/icons/hicolor/${s}x${s}/apps/ductcalc-table.png; done) \
  ./usr/share/man/man1/ductcalc-cli.1.gz \
  ./usr/share/bash-completion/completions/ductcalc-cli \
  ./usr/share/applications/org.example.ductcalc.desktop \
  ./usr/share/metainfo/org.example.ductcalc.metainfo.xml \
  ./usr/share/doc/ductcalc/changelog.gz \
  ./usr/share/doc/ductcalc/copyright \
  ./usr/share/man/man1/ductcalc.1.gz \
  ./usr/share/icons/hicolor/scalable/apps/ductcalc.svg \
  $(for s in 16 24 32 48 64 128 256; do echo ./usr/share/icons/hicolor/${s}x${s}/apps/ductcalc.png; done) | sort)
if [ "$files" != "$expected" ]; then
  echo "package files differ from what is expected:"
  diff <(echo "$expected") <(echo "$files") || true
  exit 1
fi

# The program must be executable and the package must pull in Qt.
dpkg -c "$deb" | grep -E '^-rwxr-xr-x .* \./usr/bin/ductcalc$' >/dev/null ||
  { echo "ductcalc is not installed executable"; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqt6gui6 libqt6core6; do
  case "$depends" in
    *"$lib"*) ;;
    *) echo "Depends lacks $lib: $depends"; exit 1 ;;
  esac
done
dpkg-deb -f "$deb" Recommends | grep -q fonts-wqy-microhei ||
  { echo "Recommends lacks a CJK font"; exit 1; }

# Compressed the way Debian wants it: best compression, no name or time inside.
unpacked="$out/root"
dpkg-deb -x "$deb" "$unpacked"
for gz in $(cd "$unpacked" && find . -name '*.gz' | sort); do
  header=$(od -An -tx1 -N10 "$unpacked/$gz" | tr -d ' \n')
  # bytes 4-7 are the time stamp, byte 3 the flags (8 = a file name follows)
  case "$header" in
    1f8b0800000000000203) ;;
    *) echo "$gz is not compressed with gzip -9n (header $header)"; exit 1 ;;
  esac
done

# No debug information in the package: every program is stripped, and has
# its manual page, which formats without a warning.
for program in "$unpacked"/usr/bin/*; do
  name=$(basename "$program")
  if file "$program" | grep -q "not stripped"; then
    echo "usr/bin/$name is not stripped"; exit 1
  fi
  page="$unpacked/usr/share/man/man1/$name.1.gz"
  [ -f "$page" ] || { echo "usr/bin/$name has no manual page"; exit 1; }
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "manual page of $name: $warnings"; exit 1; }
done

# What a distribution checks: no errors and no warnings from lintian.
if command -v lintian >/dev/null; then
  lintian --fail-on error,warning "$deb" 2> >(grep -v "running with root privileges" >&2) ||
    { echo "lintian finds faults in the package"; exit 1; }
else
  echo "lintian is not installed: the package's policy check was skipped"
fi
echo "package ok: $(basename "$deb")"
