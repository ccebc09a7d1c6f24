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
#                          reading; a file "hangup" ends the pair and takes
#                          COMn away. Taking the files away again resumes
#                          reading and plugs a new pair in; the runner keeps
#                          the files "up" and "reading" there as it acts.
#   --windows-version V    the Windows version Wine reports (win7, win81, win10, ...)
#   --dll-dir DIR          another folder of DLLs to find (repeatable)
#   --bare                 no Qt and no compiler runtime on the path: for a
#                          program that must bring its own, as an installed one
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
bare=0
while [ $# -gt 0 ]; do
  case "$1" in
    --com) links+=("$2"); shift 2 ;;
    --serial-capture) capture_port="$2"; shift 2 ;;
    --windows-version) version="$2"; shift 2 ;;
    --dll-dir) dll_dirs+=("$2"); shift 2 ;;
    --test-log) test_log=1; shift ;;
    --bare) bare=1; shift ;;
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
[ $bare = 1 ] || [ -f "$qt/bin/Qt6Core.dll" ] ||
  { say "no Qt for Windows in $qt: run scripts/windows-toolchain.sh"; exit 2; }

# Our own server for the prefix, so its diagnostics go to a log rather than
# into the program's output. One already running is used as it is.
mkdir -p "$WINEPREFIX"
"$wineserver" -p10 2>>"$WINEPREFIX/wineserver.log" || true

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  say "creating the Wine prefix $WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1
fi

# Wine 8's own Tahoma draws no Latin letters for Qt (line edits stay blank,
# labels fall back to a serif). Real Windows has its UI fonts; here their
# names are mapped to DejaVu Sans, once per prefix. Wine reads the mapping at
# start, hence the server restart.
if [ ! -f "$WINEPREFIX/.font-replacements" ]; then
  for font in "Tahoma" "Tahoma Bold" "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI" "MS Sans Serif"; do
    "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d "DejaVu Sans" /f \
      >/dev/null 2>&1
  done
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -p10 2>>"$WINEPREFIX/wineserver.log" || true
  : >"$WINEPREFIX/.font-replacements"
fi

if [ -n "$version" ]; then
  # winecfg also writes the version keys under Windows NT\CurrentVersion, so
  # the registry and the version calls agree.
  "$wine" winecfg -v "$version" >/dev/null 2>&1
fi

# DLLs beside the program win; then Qt's, the compiler's runtime, and the caller's.
path_list=""
if [ $bare = 0 ]; then
  path_list="$(winpath "$qt/bin")"
  for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    found="$(x86_64-w64-mingw32-g++-posix -print-file-name="$dll")"
    path_list+=";$(winpath "$(dirname "$found")")"
  done
fi
# Qt finds its plugins beside its own DLLs. (Wine passes no QT_ variables to
# Windows programs, so none can be given here.)
for d in "${dll_dirs[@]}"; do path_list+="${path_list:+;}$(winpath "$d")"; done
export WINEPATH="$path_list"

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
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  if [ -n "${run_dir:-}" ]; then rm -rf "$run_dir"; fi
}
trap cleanup EXIT

if [ -n "$capture_port" ]; then
  run_dir="$(mktemp -d "$root/build/wine-serial.XXXXXX")"
  control="$run_dir/control"
  mkdir "$control"
  : >"$run_dir/capture"
  # The line is kept as the control folder asks, checked every 20 ms: a pair
  # is up while there is no file "hangup" (ending it is a pulled cable, and
  # COMn is then missing; taking the file away plugs a new pair in), and its
  # far end is read while there is no file "pause" (a reader stopped with
  # SIGSTOP loses nothing; the line backs up behind it). The state files
  # "up" and "reading" say what holds now. Whatever arrives is added to the
  # one capture file.
  (
    socat_pid="" reader_pid=""
    trap 'kill -KILL $reader_pid $socat_pid 2>/dev/null; exit 0' TERM
    while :; do
      if [ ! -e "$control/hangup" ] && [ -z "$socat_pid" ]; then
        rm -f "$run_dir/near" "$run_dir/far"
        # Left as socat makes it (raw, speed 0): the program's own line set-up
        # must bring it to what it asks for.
        socat "pty,rawer,link=$run_dir/near" "pty,rawer,link=$run_dir/far" 2>>"$run_dir/socat.log" &
        socat_pid=$!
        for _ in $(seq 100); do [ -e "$run_dir/near" ] && [ -e "$run_dir/far" ] && break; sleep 0.02; done
        cat "$(readlink -f "$run_dir/far")" >>"$run_dir/capture" 2>/dev/null &
        reader_pid=$!
        ln -sfn "$(readlink -f "$run_dir/near")" "$WINEPREFIX/dosdevices/com$capture_port"
        : >"$control/up"
        : >"$control/reading"
      elif [ -e "$control/hangup" ] && [ -n "$socat_pid" ]; then
        kill -KILL "$reader_pid" "$socat_pid" 2>/dev/null || true
        wait "$reader_pid" "$socat_pid" 2>/dev/null || true
        socat_pid="" reader_pid=""
        rm -f "$WINEPREFIX/dosdevices/com$capture_port" "$control/up" "$control/reading"
      fi
      if [ -n "$reader_pid" ]; then
        if [ -e "$control/pause" ] && [ -e "$control/reading" ]; then
          kill -STOP "$reader_pid" 2>/dev/null || true
          rm -f "$control/reading"
        elif [ ! -e "$control/pause" ] && [ ! -e "$control/reading" ]; then
          kill -CONT "$reader_pid" 2>/dev/null || true
          : >"$control/reading"
        fi
      fi
      sleep 0.02
    done
  ) &
  pids+=($!)
  for _ in $(seq 250); do [ -e "$control/up" ] && break; sleep 0.02; done
  [ -e "$control/up" ] || { say "socat made no pseudo-terminal pair"; exit 1; }
  say "COM$capture_port -> $(readlink "$WINEPREFIX/dosdevices/com$capture_port")"
  export FOUNTAIN_TEST_COM_PORT="COM$capture_port"
  FOUNTAIN_TEST_SERIAL_CAPTURE="$(winpath "$run_dir/capture")"
  FOUNTAIN_TEST_SERIAL_CONTROL="$(winpath "$control")"
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
