#!/usr/bin/env bash
# Remakes the screenshots in docs/ under a virtual X server, with Hungarian regional settings and
# the shipped database: those of the user guide docs/kezikonyv.md (every window of the program)
# and of the reference. Then rebuilds the guide's HTML when pandoc is installed. Needs build/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j2 --target make_screenshots test_unit_adatlap_br
mkdir -p docs
on_screen() {
    xvfb-run -a -s "-screen 0 1280x1024x24" \
        env QT_QPA_PLATFORM=xcb LANG=hu_HU.UTF-8 LANGUAGE=hu "$@"
}
on_screen build/tests/app/make_screenshots "$PWD/docs"
# The purchase editor with a product and with a service item, as its test enters them.
(cd build && on_screen env VK_SCREENSHOT_DIR="$PWD/../docs" \
    tests/purchase/test_unit_adatlap_br productAndServiceItems)
# The same on a 1366x768 screen at 150 % and 200 %: the whole screen, the window fitting on it.
# The main window after a save run, the institution editor and the quarter's overview at 150 %.
xvfb-run -a -s "-screen 0 1366x768x24" env QT_QPA_PLATFORM=xcb LANG=hu_HU.UTF-8 LANGUAGE=hu \
    QT_SCALE_FACTOR=1.5 build/tests/app/make_screenshots "$PWD/docs"
for scale in 1.5 2; do
    (cd build && xvfb-run -a -s "-screen 0 1366x768x24" env QT_QPA_PLATFORM=xcb LANG=hu_HU.UTF-8 \
        LANGUAGE=hu QT_SCALE_FACTOR=$scale VK_SCREENSHOT_DIR="$PWD/../docs" \
        tests/purchase/test_unit_adatlap_br productAndServiceItems)
done
if command -v pandoc >/dev/null; then
    cmake --build build --target kezikonyv
fi
