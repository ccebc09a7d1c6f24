#!/usr/bin/env bash
# The Windows packages as a user meets them, under Wine on the caller's X
# display: the installer run silently (/S), the installed program started
# until its main window shows, the uninstaller run silently and the files,
# the Start-menu entry and the uninstall record checked gone; then the
# portable ZIP unpacked and started. The programs run without Qt or the
# compiler's runtime on the path: the packages must bring their own.
#
#   scripts/windows-package-test.sh [build folder]   (default build/windows)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath "${1:-$root/build/windows}")"
version="$(sed -n 's/^project(fountain-forms VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
installer="$build/fountain-forms-$version-win64.exe"
zip="$build/fountain-forms-$version-win64.zip"
export FOUNTAIN_WINEPREFIX="${FOUNTAIN_WINEPREFIX:-$root/build/wine-prefix}"
prefix="$FOUNTAIN_WINEPREFIX"
wine_run="$root/scripts/wine-run.sh"
title="Редатор форм фонтанов"
install_dir="$prefix/drive_c/Program Files/fountain-forms"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\fountain-forms'

passed=0
failed=0
check() {
  local what="$1"
  shift
  if "$@"; then
    echo "ok: $what"
    passed=$((passed + 1))
  else
    echo "FAILED: $what"
    failed=$((failed + 1))
  fi
}

for f in "$installer" "$zip"; do
  [ -f "$f" ] || { echo "no $f: run scripts/windows.sh first" >&2; exit 1; }
done
echo "installer $(basename "$installer"): $(stat -c %s "$installer") bytes"
echo "portable ZIP $(basename "$zip"): $(stat -c %s "$zip") bytes"

# Starts a program, waits up to a minute for the main window, saves a picture
# of it into the build folder, and ends the program by its process id.
shows_main_window() {
  local exe="$1" shot="$2" runner wid="" pid
  bash "$wine_run" --bare "$exe" >/dev/null 2>&1 &
  runner=$!
  for _ in $(seq 120); do
    wid="$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n 1)" && [ -n "$wid" ] && break
    kill -0 "$runner" 2>/dev/null || break
    sleep 0.5
  done
  if [ -n "$wid" ]; then
    sleep 1 # the first paint
    import -window "$wid" "$shot" 2>/dev/null || true
  fi
  for pid in $(ps -o pid= --ppid "$runner"); do kill "$pid" 2>/dev/null || true; done
  wait "$runner" 2>/dev/null || true
  [ -n "$wid" ]
}

# A registry key of the prefix, asked through Wine's own reg.
has_key() {
  bash "$wine_run" --bare "$prefix/drive_c/windows/system32/reg.exe" query "$1" >/dev/null 2>&1
}

start_menu() {
  find "$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu" \
       "$prefix/drive_c/users" -iname 'fountain-forms*.lnk' 2>/dev/null | grep -q .
}

gone() {
  for _ in $(seq 120); do
    [ ! -e "$install_dir" ] && return 0
    sleep 0.5
  done
  find "$install_dir" >&2
  return 1
}

# A package left by an interrupted run would hide what this one installs.
if [ -x "$install_dir/Uninstall.exe" ]; then
  bash "$wine_run" --bare "$install_dir/Uninstall.exe" /S >/dev/null 2>&1 || true
  gone >/dev/null 2>&1 || true
fi

check "silent install" bash "$wine_run" --bare "$installer" /S
check "program, Qt, runtime and platform plugin installed" test -f "$install_dir/bin/fountain-forms.exe" \
  -a -f "$install_dir/bin/fountain-frm.exe" -a -f "$install_dir/bin/Qt6Widgets.dll" \
  -a -f "$install_dir/bin/libstdc++-6.dll" -a -f "$install_dir/bin/platforms/qwindows.dll"
check "Start-menu entry and uninstall record" eval 'start_menu && has_key "$uninstall_key"'
check "installed program shows its main window" \
  shows_main_window "$install_dir/bin/fountain-forms.exe" "$build/installed-main-window.png"
check "silent uninstall" bash "$wine_run" --bare "$install_dir/Uninstall.exe" /S
# The uninstaller goes on from a copy of itself in the temporary folder.
check "installed files gone" gone
check "Start-menu entry and uninstall record gone" eval '! start_menu && ! has_key "$uninstall_key"'

portable="$(mktemp -d "$build/portable.XXXXXX")"
trap 'rm -rf "$portable"' EXIT
check "portable ZIP unpacks" cmake -E chdir "$portable" cmake -E tar xf "$zip"
check "portable program shows its main window" shows_main_window \
  "$portable/fountain-forms-$version-win64/bin/fountain-forms.exe" "$build/portable-main-window.png"

echo "packages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
