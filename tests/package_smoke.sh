#!/usr/bin/env bash
# Builds the Debian package, installs it with apt, starts the installed editor
# on the current X display, waits for its main window, then removes the package.
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
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq fountain-forms >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/fountain-forms.desktop"
for f in usr/bin/fountain-forms usr/share/icons/hicolor/48x48/apps/fountain-forms.png \
         usr/share/icons/hicolor/scalable/apps/fountain-forms.svg usr/share/man/man1/fountain-forms.1.gz; do
  [ -e "$work/root/$f" ] || { echo "missing in package: $f"; exit 1; }
done

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb" >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log"; exit 1; }
[ -x /usr/bin/fountain-forms ] || { echo "not installed"; exit 1; }

# A first start of a new user: empty settings folder and working directory.
mkdir -p "$work/home"
(cd "$work/home" && XDG_CONFIG_HOME="$work/home" exec /usr/bin/fountain-forms) &
app_pid=$!
if ! timeout 20 xdotool search --sync --onlyvisible --name 'Редатор форм фонтанов' >/dev/null; then
  echo "the installed editor's main window did not appear"
  exit 1
fi
echo "main window of the installed editor is shown"
kill "$app_pid"; wait "$app_pid" 2>/dev/null || true; app_pid=""

DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq fountain-forms >/dev/null
[ ! -e /usr/bin/fountain-forms ] || { echo "still installed after removal"; exit 1; }
echo "package built, installed, started and removed"
