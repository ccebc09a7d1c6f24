#!/usr/bin/env bash
# clang-tidy over the product's sources with the checks .clang-tidy chooses:
# passes only at zero findings. Needs the default build's compile commands
# (scripts/test.sh makes them); the tests' sources are not checked.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v run-clang-tidy >/dev/null; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get install -y -qq --no-install-recommends clang-tidy >/dev/null
fi
[ -f build/default/compile_commands.json ] || cmake --preset default >/dev/null
# The generated sources (moc, resources) must exist before their users are read.
cmake --build --preset default --target fountain_app fountain-frm fountain-frame-monitor >/dev/null
log=$(mktemp)
trap 'rm -f "$log"' EXIT
folders="core|link|widgets|editor|player|sim|about|app|tools"
status=0
run-clang-tidy -quiet -p build/default -j "$(nproc)" "^$PWD/($folders)/" >"$log" 2>&1 || status=$?
grep -E "(warning|error): .*\[[a-z-]+(,-warnings-as-errors)?\]$" "$log" | sort -u || true
findings=$(grep -cE "(warning|error): .*\[[a-z-]+(,-warnings-as-errors)?\]$" "$log" || true)
if [ "$status" -ne 0 ] || [ "$findings" -ne 0 ]; then
  echo "clang-tidy: $findings findings"
  exit 1
fi
echo "clang-tidy: no findings in $(grep -c '"file"' build/default/compile_commands.json) compile commands' product sources"
