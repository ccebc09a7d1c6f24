#!/usr/bin/env bash
# Builds the Debian package, installs it with apt, starts the installed editor
# on the current X display, waits for its main window, then removes the package
# and every package the install pulled in. A fountain-forms installed before
# the test is left alone: the package's editor then runs from its unpacked files.
# Usage: package_smoke.sh BUILD_DIR
set -euo pipefail
build=$1
if [ "$(id -u)" -ne 0 ]; then
  echo "needs root to install a package: skipped"
  exit 77
fi
[ -n "${DISPLAY:-}" ] || { echo "no X display"; exit 1; }

cd "$build"
rm -f fountain-forms_*.deb
cpack -G DEB >cpack.log 2>&1 || { cat cpack.log; exit 1; }
deb=$(ls fountain-forms_*.deb)
echo "built $deb"
dpkg-deb -I "$deb" | grep -E 'Depends|Recommends'

work=$(mktemp -d)
app_pid=""
installed_by_us=""
# The machine as it was: an installed fountain-forms stays, and whatever apt
# pulls in for the package goes again.
installed_packages() {
  dpkg-query -W -f='${db:Status-Abbrev} ${Package}:${Architecture}\n' | awk '$1 ~ /^.i/ {print $2}' | sort
}
installed_packages >"$work/before"
restore() {
  [ -n "$installed_by_us" ] || return 0
  DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq fountain-forms >/dev/null 2>&1 || true
  installed_packages >"$work/after"
  mapfile -t pulled < <(comm -13 "$work/before" "$work/after")
  if [ ${#pulled[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq "${pulled[@]}" >/dev/null 2>&1 || true
  fi
  installed_by_us=""
}
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  restore
  rm -rf "$work"
}
trap cleanup EXIT

dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/fountain-forms.desktop"
# The metainfo with the menu entry it launches. Its id stays the entry's name
# (see the file), so that warning is a note.
[ -e "$work/root/usr/share/metainfo/fountain-forms.metainfo.xml" ] || { echo "no metainfo"; exit 1; }
appstreamcli validate-tree --no-net --override=cid-desktopapp-is-not-rdns=info "$work/root"
for f in usr/bin/fountain-forms usr/share/icons/hicolor/48x48/apps/fountain-forms.png \
         usr/share/icons/hicolor/scalable/apps/fountain-forms.svg usr/share/man/man1/fountain-forms.1.gz; do
  [ -e "$work/root/$f" ] || { echo "missing in package: $f"; exit 1; }
done

if dpkg-query -W -f='${Status}' fountain-forms 2>/dev/null | grep -q "install ok installed"; then
  # Someone's own fountain-forms: not replaced; the package's editor runs
  # from its unpacked files instead.
  echo "fountain-forms $(dpkg-query -W -f='${Version}' fountain-forms) is installed already: it stays"
  editor="$work/root/usr/bin/fountain-forms"
else
  installed_by_us=yes
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; exit 1; }
  [ -x /usr/bin/fountain-forms ] || { echo "not installed"; exit 1; }
  editor=/usr/bin/fountain-forms
fi

# A first start of a new user: empty settings folder and working directory.
mkdir -p "$work/home"
(cd "$work/home" && XDG_CONFIG_HOME="$work/home" exec "$editor") &
app_pid=$!
if ! timeout 20 xdotool search --sync --onlyvisible --name 'Редатор форм фонтанов' >/dev/null; then
  echo "the editor's main window did not appear"
  exit 1
fi
echo "main window of the packaged editor is shown"
kill "$app_pid"; wait "$app_pid" 2>/dev/null || true; app_pid=""

if [ -n "$installed_by_us" ]; then
  restore
  [ ! -e /usr/bin/fountain-forms ] || { echo "still installed after removal"; exit 1; }
  installed_packages >"$work/after"
  if ! cmp -s "$work/before" "$work/after"; then
    echo "packages differ from before the test:"
    diff "$work/before" "$work/after" || true
    exit 1
  fi
  echo "package built, installed, started and removed with what it pulled in"
else
  echo "package built, unpacked and started; the installed fountain-forms is untouched"
fi
