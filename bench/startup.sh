#!/usr/bin/env bash
# Median time from process start to the main window shown, over 11 runs, on a
# fresh virtual X display. Usage: bench/startup.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
dpkg-query -W -f='${Status}' libx11-dev 2>/dev/null | grep -q "ok installed" ||
  { [ "$(id -u)" -eq 0 ] && apt-get install -y -qq libx11-dev; }
cc -O2 -o "$build/startup_time" bench/startup_time.c -lX11
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A private settings folder and working directory: the first start of a new user.
cd "$work"
XDG_CONFIG_HOME="$work" xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
  "$OLDPWD/$build/startup_time" 11 "$OLDPWD/$build/fountain-forms"
