#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for building, running and testing the program,
# then configures and builds it in build/. Quick when everything is already there.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    build-essential cmake clang-format
    qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6sql6-sqlite libgl-dev
    zlib1g-dev libssl-dev libsqlite3-dev libbenchmark-dev sqlite3
    python3 python3-pyftpdlib python3-openssl openssl curl vsftpd
    libcups2-dev cups printer-driver-cups-pdf poppler-utils fonts-liberation2
    libxlsxwriter-dev python3-openpyxl
    xvfb xauth strace
    clang libclang-rt-14-dev
    qt6-translations-l10n lintian desktop-file-utils appstream file
    pandoc
    libreoffice-calc-nogui
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build build -j2
