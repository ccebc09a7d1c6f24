#!/usr/bin/env bash
# Builds the libFuzzer targets with Debian's clang and runs each for a short,
# fixed time (FUZZ_SECONDS, 25 by default) from its seed corpus. A crash, a
# sanitizer report or a broken property fails the run and leaves the input
# that did it in build/fuzz/artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh fuzz
seconds=${FUZZ_SECONDS:-25}
CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DFOUNTAIN_FUZZ=ON -DBUILD_TESTING=OFF -DFOUNTAIN_PACKAGE_TEST=OFF >/dev/null
cmake --build build/fuzz --target fuzz_profile fuzz_frame

# New inputs go to a scratch copy of each corpus, so the seeds stay as they are.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p build/fuzz/artifacts
run() {
  local name=$1
  shift
  cp -r "fuzz/corpus_$name" "$work/$name"
  echo "fuzz_$name: $seconds s"
  build/fuzz/fuzz/"fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="build/fuzz/artifacts/$name-" "$@" "$work/$name" 2>"$work/$name.log" || {
    tail -n 40 "$work/$name.log"
    exit 1
  }
  grep -E '^(Done|stat::number_of_executed_units)' "$work/$name.log" | sed "s/^/fuzz_$name: /"
}
run profile -dict=fuzz/profile.dict
run frame
