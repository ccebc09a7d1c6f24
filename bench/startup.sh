#!/usr/bin/env bash
# Start-up time of the editor next to a bare Qt program showing one window with
# one Cyrillic label, both timed in the same run from process start to window
# shown, 21 runs each in turn, on a fresh virtual X display.
# Usage: bench/startup.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
dpkg-query -W -f='${Status}' libx11-dev 2>/dev/null | grep -q "ok installed" ||
  { [ "$(id -u)" -eq 0 ] && apt-get install -y -qq libx11-dev; }
cmake --build "$build" --target fountain-forms bare_window >/dev/null
cc -O2 -Wall -Wextra -o "$build/startup_time" bench/startup_time.c -lX11
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A private settings folder and working directory: the first start of a new user.
cd "$work"
XDG_CONFIG_HOME="$work" env -u DISPLAY "$OLDPWD/scripts/xvfb.sh" run \
  "$OLDPWD/$build/startup_time" 21 "$OLDPWD/$build/fountain-forms" "$OLDPWD/$build/bench/bare_window"
