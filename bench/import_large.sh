#!/usr/bin/env bash
# Time and peak memory of fountain-frm import on 16 MiB texts: one it takes
# (a programme padded with blanks) and three it refuses (unknown keys, one
# endless name, endless CSV rows). Linear time and memory a small multiple of
# the text are the aim.
# Usage: bench/import_large.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
[ -x /usr/bin/time ] || { [ "$(id -u)" -eq 0 ] && apt-get install -y -qq time >/dev/null; }
cmake --build "$build" --target fountain-frm >/dev/null
frm=$(realpath "$build")/tools/fountain-frm
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
size=$((16 * 1024 * 1024))

# A programme to start from: 100 forms of the same shape.
head -c 8192 /dev/zero >empty.frm
"$frm" export empty.frm -o show.json
"$frm" export --csv empty.frm -o show.csv
python3 - "$size" <<'PY'
import sys
size = int(sys.argv[1])
show = open("show.json").read()
open("padded.json", "w").write(show[:-2] + " " * (size - len(show)) + "}\n")
keys, i, total = ['{"format": "fountain-frm"'], 0, 0
while total < size - 32:
    keys.append(', "k%d": 1' % i)
    total += len(keys[-1])
    i += 1
open("keys.json", "w").write("".join(keys) + "}")
cut = show.index('"name": ""') + len('"name": "')
open("name.json", "w").write(show[:cut] + "x" * (size - len(show)) + show[cut:])
csv = open("show.csv").read()
header, rest = csv.split("\n", 1)
row = "1,,0,0,0,0,0,0,0,0,0,0,,,,,\n"
open("rows.csv", "w").write(header + "\n" + row * ((size - len(header) - 1) // len(row)))
PY
printf '%-12s %10s %9s %11s  %s\n' text bytes seconds "peak MiB" "result"
for text in padded.json keys.json name.json rows.csv; do
  set +e
  timeout 120 /usr/bin/time -f "%e %M" -o stats "$frm" import "$text" -o out.frm 2>err >/dev/null
  code=$?
  set -e
  if [ $code -eq 124 ]; then
    printf '%-12s %10d %9s %11s  %s\n' "$text" "$(stat -c %s "$text")" "> 120" "-" "stopped"
    continue
  fi
  read -r seconds kib < <(tail -1 stats)
  result=$([ $code -eq 0 ] && echo "written" || head -c 70 err | head -1)
  printf '%-12s %10d %9s %11.1f  %s\n' "$text" "$(stat -c %s "$text")" "$seconds" \
    "$(echo "$kib / 1024" | bc -l)" "$result"
done
