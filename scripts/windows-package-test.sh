#!/usr/bin/env bash
# The Windows packages as a user meets them, under Wine on the caller's X
# display: the installer run silently (/S), the installed program started
# until its main window shows; installed again, on a Russian system, into a
# Cyrillic folder, which takes the first folder away, and the program started
# from its Start-menu entry; the uninstaller run silently and the files, the
# Start-menu entry and the registry keys checked gone, the user's files
# kept; then the portable ZIP unpacked and started. The programs run without
# Qt or the compiler's runtime on the path: the packages must bring their own.
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
cyrillic_dir="$prefix/drive_c/Фонтаны/fountain-forms"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\fountain-forms'
# Where versions up to 1.3.0 kept a key of their own.
vendor_key='HKLM\Software\fountain-forms project'
menu_dir="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/$title"
menu_entry="C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\$title\\$title.lnk"
user_dir="$prefix/drive_c/users/$(id -un)"
user_frm="$user_dir/Documents/package-test-$$.frm"
user_ini="$user_dir/AppData/Roaming/Fonvira.ini"

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

# Runs a command that starts the program, waits up to a minute for the main
# window, saves a picture of it into the build folder, and ends the program
# by the window's process id: one started through a shortcut (Wine's start,
# which returns at once) is no child of ours.
shows_main_window() {
  local shot="$1" runner wid="" pid
  shift
  "$@" >/dev/null 2>&1 &
  runner=$!
  for _ in $(seq 120); do
    wid="$(xdotool search --onlyvisible --name "^$title" 2>/dev/null | head -n 1)" && [ -n "$wid" ] && break
    sleep 0.5
  done
  if [ -n "$wid" ]; then
    sleep 1 # the first paint
    import -window "$wid" "$shot" 2>/dev/null || true
    if pid="$(xdotool getwindowpid "$wid" 2>/dev/null)"; then kill "$pid" 2>/dev/null || true; fi
  fi
  for pid in $(ps -o pid= --ppid "$runner"); do kill "$pid" 2>/dev/null || true; done
  wait "$runner" 2>/dev/null || true
  [ -n "$wid" ]
}

# A registry key of the prefix, asked through Wine's own reg.
has_key() {
  bash "$wine_run" --bare "$prefix/drive_c/windows/system32/reg.exe" query "$1" >/dev/null 2>&1
}

# The Start-menu entry, named by the program's title, and the uninstall record.
registered() {
  test -f "$menu_dir/$title.lnk" && has_key "$uninstall_key"
}

# Nothing of the installer's left in the Start menu or the registry.
unregistered() {
  [ ! -e "$menu_dir" ] && ! has_key "$uninstall_key" && ! has_key "$vendor_key"
}

# The uninstaller goes on from a copy of itself in the temporary folder.
gone() {
  for _ in $(seq 120); do
    [ ! -e "$1" ] && return 0
    sleep 0.5
  done
  find "$1" >&2
  return 1
}

run=(bash "$wine_run" --bare)
# Wine keeps a shortcut's target in the system's ANSI code page alone and
# starts it from there (Windows keeps it in Unicode as well), so the Cyrillic
# folder is tried on a Russian system, in the installer's Russian. Without
# the Russian locale on this machine, one is made for the run.
run_ru=(env LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8)
if ! locale -a 2>/dev/null | grep -qix 'ru_RU.utf-\?8'; then
  mkdir -p "$build/locale"
  localedef -i ru_RU -f UTF-8 "$build/locale/ru_RU.UTF-8"
  run_ru+=(LOCPATH="$build/locale")
fi
run_ru+=("${run[@]}")

made_ini=0
cleanup() {
  rm -rf "${portable:-}" "$user_frm"
  if [ $made_ini = 1 ]; then rm -f "$user_ini"; fi
}
trap cleanup EXIT

# A package left by an interrupted run would hide what this one installs.
for dir in "$install_dir" "$cyrillic_dir"; do
  if [ -x "$dir/Uninstall.exe" ]; then
    "${run[@]}" "$dir/Uninstall.exe" /S >/dev/null 2>&1 || true
    gone "$dir" >/dev/null 2>&1 || true
  fi
done

check "silent install" "${run[@]}" "$installer" /S
check "program, Qt, runtime and platform plugin installed" test -f "$install_dir/bin/fountain-forms.exe" \
  -a -f "$install_dir/bin/fountain-frm.exe" -a -f "$install_dir/bin/Qt6Widgets.dll" \
  -a -f "$install_dir/bin/libstdc++-6.dll" -a -f "$install_dir/bin/platforms/qwindows.dll"
check "Start-menu entry and uninstall record" registered
check "installed program shows its main window" \
  shows_main_window "$build/installed-main-window.png" "${run[@]}" "$install_dir/bin/fountain-forms.exe"

# /D= comes last and unquoted, as Windows passes it.
check "silent install into a Cyrillic folder" "${run_ru[@]}" "$installer" /S '/D=C:\Фонтаны\fountain-forms'
check "the installed version is gone from its folder" gone "$install_dir"
check "program in the Cyrillic folder" test -f "$cyrillic_dir/bin/fountain-forms.exe"
check "Start-menu entry shows the main window" shows_main_window "$build/shortcut-main-window.png" \
  "${run_ru[@]}" "$prefix/drive_c/windows/system32/start.exe" "$menu_entry"

# The user's programs and settings, which the uninstaller must leave.
echo "; package test" >"$user_frm"
if [ ! -e "$user_ini" ]; then
  : >"$user_ini"
  made_ini=1
fi
check "silent uninstall" "${run[@]}" "$cyrillic_dir/Uninstall.exe" /S
check "installed files and folder gone" gone "$cyrillic_dir"
check "Start-menu folder, uninstall record and vendor key gone" unregistered
check "the user's .frm file and settings kept" test -f "$user_frm" -a -f "$user_ini"

portable="$(mktemp -d "$build/portable.XXXXXX")"
check "portable ZIP unpacks" cmake -E chdir "$portable" cmake -E tar xf "$zip"
check "portable program shows its main window" shows_main_window \
  "$build/portable-main-window.png" "${run[@]}" "$portable/fountain-forms-$version-win64/bin/fountain-forms.exe"

echo "packages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
