#!/usr/bin/env bash
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
  ./usr/share/man/man1/ductcalc-cli.1 \
  ./usr/share/applications/ductcalc.desktop \
  ./usr/share/doc/ductcalc/copyright \
  ./usr/share/icons/hicolor/16x16/apps/ductcalc.png \
  ./usr/share/icons/hicolor/32x32/apps/ductcalc.png | sort)
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
echo "package ok: $(basename "$deb")"
