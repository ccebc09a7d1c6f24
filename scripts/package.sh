#!/usr/bin/env bash
# The Debian package in build/default.
#
#   scripts/package.sh        builds build/default/fountain-forms_<version>_amd64.deb
#   scripts/package.sh test   builds it, installs it with apt, starts the
#                             installed editor and removes the package again
#                             (as root: it changes this machine's packages)
set -euo pipefail
cd "$(dirname "$0")/.."
# The build folder of scripts/test.sh and scripts/run.sh, with their flags, so
# nothing they built is built again (see scripts/run.sh).
configure=(cmake --preset default)
[ -f build/default/CMakeCache.txt ] || configure+=(-DFOUNTAIN_WERROR=ON)
case "${1:-build}" in
  build)
    scripts/deps.sh package
    "${configure[@]}" >/dev/null
    cmake --build --preset default
    cd build/default && cpack -G DEB
    ;;
  test)
    scripts/deps.sh package-test
    "${configure[@]}" -DFOUNTAIN_PACKAGE_TEST=ON >/dev/null
    cmake --build --preset default
    status=0
    ctest --preset default -L package || status=$?
    # A plain ctest in this build leaves the machine's packages alone again.
    cmake --preset default -DFOUNTAIN_PACKAGE_TEST=OFF >/dev/null
    exit $status
    ;;
  *)
    sed -n '2,7p' "$0" >&2
    exit 2
    ;;
esac
