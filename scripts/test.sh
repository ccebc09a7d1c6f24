#!/usr/bin/env bash
# Builds everything and runs every test (CTest starts the virtual X display
# the tests need); CTest's summary comes last. The Debian package test, which
# installs and removes a package on this machine, is scripts/package.sh test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
# Warnings are errors here; scripts/run.sh and scripts/package.sh build in the
# same folder with the same flags, so they reuse what this builds.
cmake --preset default -DFOUNTAIN_WERROR=ON >/dev/null
cmake --build --preset default
ctest --preset default
