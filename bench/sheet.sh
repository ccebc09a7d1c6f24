#!/usr/bin/env bash
# Time to write the sheet of a 100-form programme with fountain-frm, as PDF
# (timeline and table) and as PNG (the timeline), median of 11 runs each: a
# varied show (holds 5..64 s, travel times 7..90 s) and the longest one a
# file can hold (every form 59:59, every valve 255 s). The aim: under 1 s.
# Usage: bench/sheet.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
cmake --build "$build" --target fountain-frm >/dev/null
frm=$(realpath "$build")/tools/fountain-frm
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

head -c 8192 /dev/zero >empty.frm
"$frm" export empty.frm -o empty.json
python3 - <<'PY'
import json, random
random.seed(7)
show = json.load(open("empty.json"))
longest = json.loads(json.dumps(show))
show["travel"] = [random.randint(7, 90) for _ in range(8)]
longest["travel"] = [255] * 8
for n, form in enumerate(show["forms"]):
    form.update(name="Ф%d" % (n + 1), levels=[random.randint(0, 255) for _ in range(8)],
                hold_min=random.randint(0, 1), hold_sec=random.randint(5, 59))
for n, form in enumerate(longest["forms"]):
    form.update(name="Д%d" % (n + 1), levels=[255 * ((n + v) % 2) for v in range(8)],
                hold_min=59, hold_sec=59)
json.dump(show, open("show.json", "w"), ensure_ascii=False)
json.dump(longest, open("longest.json", "w"), ensure_ascii=False)
PY
"$frm" import show.json -o show.frm 2>/dev/null # (no coda: noted, not trouble)
"$frm" import longest.json -o longest.frm 2>/dev/null

median() { sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }
for programme in show longest; do
  for kind in pdf png; do
    ms=$(for _ in $(seq 11); do
      start=$(date +%s%N)
      "$frm" sheet "$programme.frm" -o "out.$kind" --names "1,2,3,4,5,6,7,8"
      echo $((($(date +%s%N) - start) / 1000000))
    done | median)
    echo "$programme.frm, 100 forms -> $kind: ${ms} ms (median of 11)"
  done
done
