#!/usr/bin/env bash
# Builds the Debian package in build/default.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
cd build/default && cpack -G DEB
