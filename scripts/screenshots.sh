#!/usr/bin/env bash
# Remakes the screenshots in docs/ under a virtual X server: the main window after a save run,
# showing its log, the institution editor with a record being added and the period check with
# its list of problems. Needs build/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j2 --target make_screenshots
mkdir -p docs
xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb \
    build/tests/app/make_screenshots "$PWD/docs"
