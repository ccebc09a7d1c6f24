#!/usr/bin/env bash
# Builds everything and runs every test under one virtual X display; CTest's
# summary comes last.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset default -DFOUNTAIN_WERROR=ON >/dev/null
cmake --build --preset default
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" ctest --preset default
