#!/usr/bin/env bash
# CPU cost of the fountain simulation window drawing its 10 frames per second,
# measured over 30 s on a fresh virtual X display (Mesa llvmpipe): the window
# hidden (the animation runs, nothing is drawn), then shown. The program's own
# CPU time is measured inside it; the X server's over the whole run.
# Usage: bench/sim_cpu.sh [build folder] [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
seconds=${2:-30}
cmake --build "$build" --target tst_sim

tmp=$(mktemp -d)
xpid=
cleanup() {
    [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>/dev/null &
xpid=$!
for _ in $(seq 100); do
    [ -s "$tmp/display" ] && break
    sleep 0.1
done
export DISPLAY=":$(cat "$tmp/display")"

ticks=$(getconf CLK_TCK)
server_ticks() { awk '{ print $14 + $15 }' "/proc/$xpid/stat"; }
for mode in hidden visible; do
    before=$(server_ticks)
    start=$(date +%s.%N)
    "$build/tests/tst_sim" --bench "$seconds" "$mode" 2> >(grep -v XDG_RUNTIME_DIR >&2)
    end=$(date +%s.%N)
    after=$(server_ticks)
    awk -v t="$((after - before))" -v hz="$ticks" -v s="$start" -v e="$end" -v m="$mode" \
        'BEGIN { printf "X server during the %s run: %.2f s CPU in %.1f s = %.1f %% of one core\n",
                 m, t / hz, e - s, 100 * t / hz / (e - s) }'
done
