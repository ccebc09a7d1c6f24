#!/usr/bin/env bash
# The virtual X display of the tests, the benchmarks and a start without a
# display: the one place that knows how Xvfb is started.
#
#   scripts/xvfb.sh run CMD...        CMD on $DISPLAY, or on a display of its
#                                     own for as long as CMD runs
#   scripts/xvfb.sh start STATE       a display that stays up (CTest's fixture);
#                                     STATE records it
#   scripts/xvfb.sh in STATE CMD...   CMD on the display recorded in STATE
#   scripts/xvfb.sh stop STATE        ends it
#
# Where XDG_RUNTIME_DIR is unset (a shell without a login session, CI), the
# display comes with a private runtime folder for its programs, removed with
# it: Qt warns at every start without one.
set -euo pipefail

screen="1280x1024x24"

start() {
  local state=$1 number
  rm -f "$state"
  # Xvfb picks a free display and writes its number once it takes clients.
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$state.number" </dev/null \
    >/dev/null 2>&1 &
  local pid=$!
  for _ in $(seq 100); do
    [ -s "$state.number" ] && break
    kill -0 "$pid" 2>/dev/null || { echo "xvfb.sh: Xvfb did not start" >&2; return 1; }
    sleep 0.1
  done
  number=$(tr -dc 0-9 <"$state.number")
  rm -f "$state.number"
  [ -n "$number" ] || { echo "xvfb.sh: Xvfb gave no display" >&2; kill "$pid"; return 1; }
  local runtime=""
  # mktemp makes it 0700, as the runtime folder must be.
  [ -n "${XDG_RUNTIME_DIR:-}" ] || runtime=$(mktemp -d "${TMPDIR:-/tmp}/xvfb-runtime.XXXXXX")
  echo ":$number $pid $runtime" >"$state"
}

stop() {
  local state=$1 display pid runtime
  [ -f "$state" ] || return 0
  read -r display pid runtime <"$state"
  kill "$pid" 2>/dev/null || true
  [ -z "$runtime" ] || rm -rf "$runtime"
  rm -f "$state"
}

# The display recorded in STATE for what runs next, with its runtime folder
# where the caller has none.
use() {
  local display runtime
  read -r display _ runtime <"$1"
  export DISPLAY=$display
  [ -n "${XDG_RUNTIME_DIR:-}" ] || [ -z "$runtime" ] || export XDG_RUNTIME_DIR=$runtime
}

case "${1:-}" in
  start) start "$2" ;;
  stop) stop "$2" ;;
  in)
    use "$2"
    shift 2
    exec "$@"
    ;;
  run)
    shift
    [ -n "${DISPLAY:-}" ] && exec "$@"
    state=$(mktemp)
    trap 'stop "$state"' EXIT
    start "$state"
    set +e
    use "$state"
    "$@"
    status=$?
    exit $status
    ;;
  *)
    sed -n '2,12p' "$0" >&2
    exit 2
    ;;
esac
