#!/usr/bin/env bash
# clang-tidy over the product's sources with the checks .clang-tidy chooses:
# passes only at zero findings. It reads the compile commands of a build
# without the precompiled header (GCC's cannot be read by clang): the asan
# build, or the build folder given. The tests' sources are not checked.
# Usage: scripts/tidy.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v run-clang-tidy >/dev/null; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get install -y -qq --no-install-recommends clang-tidy >/dev/null
fi
build=${1:-build/asan}
[ -f "$build/compile_commands.json" ] || cmake --preset asan >/dev/null
# The generated sources (moc, resources) must exist before their users are read.
cmake --build "$build" --target fountain_app fountain-frm fountain-frame-monitor >/dev/null
log=$(mktemp)
trap 'rm -f "$log"' EXIT
folders="core|link|widgets|editor|player|sim|about|app|tools"
status=0
run-clang-tidy -quiet -p "$build" -j "$(nproc)" "^$PWD/($folders)/" 2>&1 |
  sed 's/\x1b\[[0-9;]*m//g' >"$log" || status=$?
grep -E "(warning|error): .*\[[a-z-]+(,-warnings-as-errors)?\]$" "$log" | sort -u || true
findings=$(grep -E "(warning|error): .*\[[a-z-]+(,-warnings-as-errors)?\]$" "$log" | sort -u | wc -l || true)
if [ "$status" -ne 0 ] || [ "$findings" -ne 0 ]; then
  echo "clang-tidy: $findings findings"
  exit 1
fi
echo "clang-tidy: no findings in $(grep -cE "\"file\": \"$PWD/($folders)/" "$build/compile_commands.json") product sources"
