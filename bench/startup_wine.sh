#!/usr/bin/env bash
# Start-up time of the Windows editor under Wine next to the Linux editor,
# timed in the same run by bench/startup_time.c from process start to window
# shown, 11 runs each in turn, on a fresh virtual X display; then the same
# for the bare Qt window of both builds. The Windows programs run as shipped
# (the portable ZIP unpacked), on a Wine server that is already running, as
# on a desktop where Wine is in use.
# Usage: bench/startup_wine.sh [Linux build folder] [Windows build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
linux=$(realpath "${1:-build/default}")
windows=$(realpath "${2:-build/windows}")
dpkg-query -W -f='${Status}' libx11-dev 2>/dev/null | grep -q "ok installed" ||
  { [ "$(id -u)" -eq 0 ] && apt-get install -y -qq libx11-dev; }
cmake --build "$linux" --target fountain-forms bare_window >/dev/null
cmake --build "$windows" --target fountain-forms bare_window >/dev/null
(cd "$windows" && cpack -G ZIP -C Release >/dev/null)
cc -O2 -Wall -Wextra -o "$linux/startup_time" bench/startup_time.c -lX11

work=$(mktemp -d)
export WINEPREFIX="$root/build/wine-prefix-bench" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export FOUNTAIN_WINEPREFIX="$WINEPREFIX"
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
version=$(sed -n 's/^project(fountain-forms VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
cmake -E chdir "$work" cmake -E tar xf "$windows/fountain-forms-$version-win64.zip"
bin="$work/fountain-forms-$version-win64/bin"
cp "$windows/bench/bare_window.exe" "$bin/"
# startup_time ends each program with SIGTERM: the wrappers hand their
# process to Wine itself.
for p in fountain-forms bare_window; do
  printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "%s"\n' "$bin/$p.exe" >"$work/$p-wine"
  chmod +x "$work/$p-wine"
done
# A private settings folder and working directory: the first start of a new user.
cd "$work"
export XDG_CONFIG_HOME="$work"
env -u DISPLAY "$root/scripts/xvfb.sh" run bash -c '
  # The prefix (made once, with its fonts), and the server kept running.
  bash "$0/scripts/wine-run.sh" --bare "$1/fountain-frm.exe" --help >/dev/null 2>&1
  /usr/lib/wine/wineserver -p
  echo "editor: Windows build under Wine, then the Linux build"
  "$2/startup_time" 11 "$3/fountain-forms-wine" "$2/fountain-forms" 2> >(grep -v XDG_RUNTIME_DIR >&2)
  echo "bare Qt window: Windows build under Wine, then the Linux build"
  "$2/startup_time" 11 "$3/bare_window-wine" "$2/bench/bare_window" 2> >(grep -v XDG_RUNTIME_DIR >&2)' "$root" "$bin" "$linux" "$work"
