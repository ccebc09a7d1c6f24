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
# The tests run on a virtual X display (Xvfb) of their own.
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

# Both parts run even when the first fails; the status is the worse one.
# (CTest starts the tests' display itself.)
status=0
ctest --test-dir build/windows --output-on-failure || status=1
scripts/xvfb.sh run bash scripts/windows-package-test.sh build/windows || status=1
exit $status
