#!/usr/bin/env bash
# Builds the editor and starts it. Without a display it starts a virtual X
# display (Xvfb) first and says so.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
# The test command builds with -Werror; an operator's build is not stopped by
# a warning, whatever the cache says from the last test run.
cmake --preset default -DFOUNTAIN_WERROR=OFF >/dev/null
cmake --build --preset default --target fountain-forms

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  display=99
  while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
  echo "No display found: starting the editor on the virtual X display :$display (Xvfb)."
  echo "Take a look with: DISPLAY=:$display import -window root shot.png"
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null' EXIT
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
  export DISPLAY=":$display"
fi
exec_status=0
./build/default/fountain-forms || exec_status=$?
exit $exec_status
