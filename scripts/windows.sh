#!/usr/bin/env bash
# The Windows build in one command: the packages and Qt for Windows
# (scripts/windows-toolchain.sh), the cross build with the windows preset,
# and the installer fountain-forms-<version>-win64.exe and the portable ZIP
# in build/windows/.
#
#   scripts/windows.sh        # build and package
#   scripts/windows.sh test   # the same with the tests, then every test
#                             # program under Wine and the packages
#                             # installed, started and removed under Wine
#
# The tests need an X display; without one they get a virtual one (Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."

mode="${1:-build}"
case "$mode" in
  build) testing=OFF ;;
  test) testing=ON ;;
  *) echo "usage: $0 [test]" >&2; exit 2 ;;
esac

bash scripts/windows-toolchain.sh >/dev/null
cmake --preset windows -DFOUNTAIN_WERROR=ON -DBUILD_TESTING=$testing >/dev/null
nice cmake --build --preset windows -j2
(cd build/windows && nice cpack -C Release)

[ "$mode" = test ] || exit 0

with_display() {
  if [ -n "${DISPLAY:-}" ]; then
    "$@"
  else
    xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
  fi
}
# Both parts run even when the first fails; the status is the worse one.
status=0
with_display ctest --test-dir build/windows --output-on-failure || status=1
with_display bash scripts/windows-package-test.sh build/windows || status=1
exit $status
