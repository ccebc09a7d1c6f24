#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine, on the caller's X
# display, and exits with the program's exit code.
#
#   scripts/wine-run.sh [options] program.exe [arguments...]
#
# Options:
#   --com N=DEVICE         link Wine's COMn to a serial device (e.g. 7=/dev/pts/3)
#   --serial-capture N     a socat pseudo-terminal pair: COMn is one end; what
#                          arrives at the other end is copied
#                          into a file. The program finds the port in
#                          FOUNTAIN_TEST_COM_PORT ("COMn") and the file in
#                          FOUNTAIN_TEST_SERIAL_CAPTURE (a Windows path).
#                          A file "pause" put in the folder
#                          FOUNTAIN_TEST_SERIAL_CONTROL stops the far end
#                          reading; a file "hangup" then ends the pair.
#   --windows-version V    the Windows version Wine reports (win7, win81, win10, ...)
#   --dll-dir DIR          another folder of DLLs to find (repeatable)
#   --test-log             the program is a Qt Test program: its report is
#                          printed here. Without a console window Qt Test
#                          sends it to the debugger, and Wine gives a program
#                          whose output is a pipe or a file no console window.
#
# Environment:
#   FOUNTAIN_WINDOWS_QT    Qt for Windows (default build/toolchains/qt6-mingw)
#   FOUNTAIN_WINEPREFIX    the Wine prefix (default build/wine-prefix)
#   FOUNTAIN_WINE_SERIAL_CAPTURE, FOUNTAIN_WINE_WINDOWS_VERSION, FOUNTAIN_WINE_TEST_LOG=1
#                          the same as --serial-capture, --windows-version and
#                          --test-log, for callers that cannot add options
#                          (CMAKE_CROSSCOMPILING_EMULATOR puts the program first)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
qt="${FOUNTAIN_WINDOWS_QT:-$root/build/toolchains/qt6-mingw}"
export WINEPREFIX="${FOUNTAIN_WINEPREFIX:-$root/build/wine-prefix}"
export WINEDEBUG=-all
# No Mono or Gecko: nothing here needs .NET or an HTML engine, and their
# installers would ask on the display.
export WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

say() { echo "wine-run: $*" >&2; }
winpath() { local p; p="$(realpath -m "$1")"; echo "Z:${p//\//\\}"; }

links=()
capture_port="${FOUNTAIN_WINE_SERIAL_CAPTURE:-}"
version="${FOUNTAIN_WINE_WINDOWS_VERSION:-}"
dll_dirs=()
test_log="${FOUNTAIN_WINE_TEST_LOG:-0}"
while [ $# -gt 0 ]; do
  case "$1" in
    --com) links+=("$2"); shift 2 ;;
    --serial-capture) capture_port="$2"; shift 2 ;;
    --windows-version) version="$2"; shift 2 ;;
    --dll-dir) dll_dirs+=("$2"); shift 2 ;;
    --test-log) test_log=1; shift ;;
    --) shift; break ;;
    -*) say "unknown option $1"; exit 2 ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] || { say "usage: $0 [options] program.exe [arguments...]"; exit 2; }
program="$1"
shift
[ -f "$program" ] || { say "no program $program"; exit 2; }
[ -n "${DISPLAY:-}" ] || { say "no DISPLAY: run under xvfb-run or another X server"; exit 2; }
[ -f "$qt/bin/Qt6Core.dll" ] || { say "no Qt for Windows in $qt: run scripts/windows-toolchain.sh"; exit 2; }

# Our own server for the prefix, so its diagnostics go to a log rather than
# into the program's output. One already running is used as it is.
mkdir -p "$WINEPREFIX"
"$wineserver" -p10 2>>"$WINEPREFIX/wineserver.log" || true

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  say "creating the Wine prefix $WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1
fi

if [ -n "$version" ]; then
  # winecfg also writes the version keys under Windows NT\CurrentVersion, so
  # the registry and the version calls agree.
  "$wine" winecfg -v "$version" >/dev/null 2>&1
fi

# DLLs beside the program win; then Qt's, the compiler's runtime, and the caller's.
path_list="$(winpath "$qt/bin")"
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
  found="$(x86_64-w64-mingw32-g++-posix -print-file-name="$dll")"
  path_list+=";$(winpath "$(dirname "$found")")"
done
for d in "${dll_dirs[@]}"; do path_list+=";$(winpath "$d")"; done
export WINEPATH="$path_list"
QT_PLUGIN_PATH="$(winpath "$qt/plugins")"
export QT_PLUGIN_PATH

link_com() {
  local n="${1%%=*}" device="${1#*=}"
  ln -sfn "$device" "$WINEPREFIX/dosdevices/com$n"
  say "COM$n -> $device"
}
for l in "${links[@]}"; do link_com "$l"; done

pids=()
# shellcheck disable=SC2317 # run by the trap
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  if [ -n "${run_dir:-}" ]; then rm -rf "$run_dir"; fi
}
trap cleanup EXIT

if [ -n "$capture_port" ]; then
  run_dir="$(mktemp -d "$root/build/wine-serial.XXXXXX")"
  socat "pty,rawer,link=$run_dir/near" "pty,rawer,link=$run_dir/far" 2>"$run_dir/socat.log" &
  socat_pid=$!
  pids+=("$socat_pid")
  for _ in $(seq 50); do [ -e "$run_dir/near" ] && [ -e "$run_dir/far" ] && break; sleep 0.1; done
  near="$(readlink -f "$run_dir/near")"
  far="$(readlink -f "$run_dir/far")"
  if [ ! -c "$near" ] || [ ! -c "$far" ]; then say "socat made no pseudo-terminal pair"; exit 1; fi
  # The line is left as socat made it (raw, speed 0): the program's own
  # line set-up must bring it to what it asks for.
  : >"$run_dir/capture"
  cat "$far" >"$run_dir/capture" 2>/dev/null &
  reader_pid=$!
  pids+=("$reader_pid")
  # Faults on request: a file "pause" in the control folder stops the far
  # end reading, so writes back up; a file "hangup" then ends the pair, as a
  # pulled cable would.
  mkdir "$run_dir/control"
  (
    while [ ! -e "$run_dir/control/pause" ]; do sleep 0.05; done
    kill "$reader_pid"
    while [ ! -e "$run_dir/control/hangup" ]; do sleep 0.05; done
    kill "$socat_pid"
  ) &
  pids+=($!)
  link_com "$capture_port=$near"
  export FOUNTAIN_TEST_COM_PORT="COM$capture_port"
  FOUNTAIN_TEST_SERIAL_CAPTURE="$(winpath "$run_dir/capture")"
  FOUNTAIN_TEST_SERIAL_CONTROL="$(winpath "$run_dir/control")"
  export FOUNTAIN_TEST_SERIAL_CAPTURE FOUNTAIN_TEST_SERIAL_CONTROL
fi

args=("$@")
if [ "$test_log" = 1 ]; then
  log_dir="$(mktemp -d "$root/build/wine-log.XXXXXX")"
  args+=(-o "$(winpath "$log_dir/report.txt"),txt")
fi
status=0
"$wine" "$program" "${args[@]}" || status=$?
if [ "$test_log" = 1 ]; then
  cat "$log_dir/report.txt" 2>/dev/null || say "the program left no test report"
  rm -rf "$log_dir"
fi
exit $status
