#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building, running and testing need, on Debian 12, as root.
# Does nothing that is already done, so it is cheap to run before every build.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-wqy-microhei
  locales
  clang libclang-rt-dev
  xvfb xauth imagemagick hyperfine time
  dpkg-dev file desktop-file-utils
  # Qt's own texts in Chinese; the window on a real display, under a window
  # manager, read by an AT-SPI client on a private D-Bus session.
  qt6-translations-l10n
  openbox x11-utils dbus at-spi2-core python3 python3-gi python3-pyatspi gir1.2-atspi-2.0
  # the package checks, the start-up measurement and the own font set-up
  lintian appstream man-db dbus-daemon libfontconfig-dev
  # ductcalc-cli: argument parsing, CSV reading and writing, JSON strings
  libcli11-dev libcsv-dev nlohmann-json3-dev
  # ductcalc-cli: the 计算书 workbook, and reading it back in the tests; its
  # live sums recalculated by LibreOffice Calc in the tests
  libxlsxwriter-dev python3-openpyxl libreoffice-calc-nogui
  # ductcalc-cli and ductcalc-table: workbooks as input (the archive, its XML)
  libzip-dev libexpat1-dev
  # ductcalc-table on a real display: keys typed by xdotool, the PDF report
  # read back by pdftotext
  xdotool poppler-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The tests read and show numbers under a comma-decimal and a Chinese locale.
need_locales=()
for l in de_DE.UTF-8 zh_CN.UTF-8; do
  locale -a 2>/dev/null | grep -qix "${l/UTF-8/utf8}" || need_locales+=("$l")
done
if [ ${#need_locales[@]} -gt 0 ]; then
  for l in "${need_locales[@]}"; do
    $sudo sed -i "s/^# *\(${l} UTF-8\)/\1/" /etc/locale.gen
  done
  $sudo locale-gen
fi
