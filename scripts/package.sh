#!/usr/bin/env bash
# Builds the Debian package build/velkor_<version>_amd64.deb: what a fresh Debian 12 machine lacks
# is installed and the program built first (scripts/setup.sh). Install it with
#   apt-get install ./build/velkor_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cd build
cpack -G DEB
ls "$PWD"/velkor_*_amd64.deb
