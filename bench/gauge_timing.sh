#!/usr/bin/env bash
# Gauge sweep times, TimerPlay drift and idle CPU of the main window, in real
# time on a fresh virtual X display (about a minute).
# Usage: bench/gauge_timing.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
cmake --build "$build" --target gauge_timing
scripts/xvfb.sh run "$build/bench/gauge_timing"
