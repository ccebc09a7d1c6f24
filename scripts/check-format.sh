#!/usr/bin/env bash
# Every C++ source of the repository formatted as .clang-format says; the
# files that are not are named, with what clang-format would change.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format >/dev/null; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get install -y -qq --no-install-recommends clang-format >/dev/null
fi
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c')
if clang-format --dry-run -Werror "${files[@]}" 2>/dev/null; then
  echo "clang-format: ${#files[@]} files as .clang-format says"
  exit 0
fi
clang-format --dry-run -Werror "${files[@]}" 2>&1 | grep -E '^[^ ].*(error|warning):' | cut -d: -f1 | sort -u |
  while read -r f; do
    echo "== $f"
    diff -u "$f" <(clang-format "$f") | head -40 || true
  done
exit 1
