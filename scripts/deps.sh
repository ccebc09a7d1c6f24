#!/usr/bin/env bash
# Installs the Debian packages a command needs, when any is missing.
#
#   scripts/deps.sh PURPOSE...
#
#   build     compile the editor and its tools (tests included)
#   run       start the editor: the Qt platform plugins, GL, fonts, Qt's texts
#   display   a virtual X display for a machine without one, and ImageMagick's
#             import to take a look at it
#   test      every test: build, run, the tests' display and serial pairs
#   package   the Debian package: dpkg-shlibdeps and file for its dependencies
#   package-test  the package installed and started: its checks and the display
#   fuzz      the fuzz targets: clang and its sanitizer runtimes
set -euo pipefail

packages=()
add() {
  case "$1" in
    build) packages+=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-serialport-dev
                      libqt6opengl6-dev libgl-dev librsvg2-bin) ;;
    run) packages+=(qt6-qpa-plugins libgl1-mesa-dri fonts-dejavu-core fonts-dejavu-extra
                    qt6-translations-l10n) ;;
    display) packages+=(xvfb imagemagick) ;;
    test) add build; add run; packages+=(xvfb socat) ;;
    package) add build; packages+=(dpkg-dev file) ;;
    package-test) add package; packages+=(xvfb xdotool desktop-file-utils appstream) ;;
    fuzz) add build; packages+=(clang libclang-rt-dev) ;;
    *)
      sed -n '2,13p' "$0" >&2
      exit 2
      ;;
  esac
}
[ $# -gt 0 ] || add ""
for purpose in "$@"; do add "$purpose"; done

missing=()
for p in $(printf '%s\n' "${packages[@]}" | sort -u); do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
