#!/usr/bin/env bash
# Prepares the Windows build: the Debian packages for cross-compiling, running
# under Wine and packaging, and Qt 6 for Windows in a cache folder. Prints the
# Qt prefix on its last line. A second run with the cache in place only checks.
#
#   scripts/windows-toolchain.sh                  # tarball if present, else from source
#   scripts/windows-toolchain.sh --from-source    # ignore the tarball
#   scripts/windows-toolchain.sh --configure-only # from source, stop after Qt's configure
#
# Environment:
#   FOUNTAIN_WINDOWS_QT          the Qt prefix (default build/toolchains/qt6-mingw)
#   FOUNTAIN_WINDOWS_QT_TARBALL  the prebuilt Qt (default ../shared/toolchains/... beside the repo)
#   FOUNTAIN_WINDOWS_QT_WORK     where Qt is built from source (default: beside the prefix)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
qt_version=6.4.2
tarball_sha256=7a7f9aafbd07c63cc674a16fdcce07275a54f4caa696d501ebf6b0cc2ff19b00

prefix="${FOUNTAIN_WINDOWS_QT:-$root/build/toolchains/qt6-mingw}"
tarball="${FOUNTAIN_WINDOWS_QT_TARBALL:-$root/../shared/toolchains/qt${qt_version}-mingw-w64-x86_64.tar.xz}"
work="${FOUNTAIN_WINDOWS_QT_WORK:-$(dirname "$prefix")/qt6-mingw-src}"
toolchain="$root/cmake/mingw-w64-x86_64.cmake"

from_source=0
configure_only=0
for arg in "$@"; do
  case "$arg" in
    --from-source) from_source=1 ;;
    --configure-only) from_source=1 configure_only=1 ;;
    *) echo "unknown option: $arg" >&2; exit 2 ;;
  esac
done

say() { echo "windows-toolchain: $*" >&2; }

packages=(
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  qt6-base-dev cmake ninja-build xz-utils dpkg-dev
  wine64 xvfb xauth socat xdotool imagemagick procps
  librsvg2-bin icoutils nsis
  qt6-translations-l10n # Qt's Russian texts, shipped beside the program
  fonts-dejavu-core # what scripts/wine-run.sh maps Wine's UI fonts to
  locales # the Russian locale the package test makes for its Cyrillic folder
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  say "installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi

# The host tools (moc, rcc, uic) must be the same Qt release as the Windows libraries.
host_qt="$(dpkg-query -W -f='${Version}' qt6-base-dev)"
case "$host_qt" in
  "$qt_version"+*) ;;
  *) say "the host Qt is $host_qt, the Windows Qt is $qt_version: they must match"; exit 1 ;;
esac

ready() { [ -f "$1/lib/cmake/Qt6/Qt6Config.cmake" ] && [ -f "$1/bin/Qt6Core.dll" ] &&
          [ -f "$1/plugins/platforms/qwindows.dll" ]; }

if [ $configure_only -eq 0 ] && ready "$prefix"; then
  say "Qt for Windows is ready in $prefix"
  echo "$prefix"
  exit 0
fi
mkdir -p "$(dirname "$prefix")"

# Installs a finished tree in one rename, so an interrupted run never leaves a
# prefix that looks ready.
publish() {
  ready "$1" || { say "$1 lacks Qt's CMake packages, Qt6Core.dll or qwindows.dll"; exit 1; }
  rm -rf "$prefix"
  mv "$1" "$prefix"
  say "Qt for Windows is ready in $prefix ($2)"
  echo "$prefix"
}

if [ $from_source -eq 0 ] && [ -f "$tarball" ]; then
  say "checking $tarball"
  echo "$tarball_sha256  $tarball" | sha256sum --quiet -c - ||
    { say "wrong sha256 for $tarball"; exit 1; }
  unpack="$(mktemp -d "$(dirname "$prefix")/.qt-unpack.XXXXXX")"
  trap 'rm -rf "$unpack"' EXIT
  tar -xJf "$tarball" -C "$unpack"
  publish "$unpack/qt6-mingw" "from $(basename "$tarball")"
  exit 0
fi

# From Debian's own qt6-base source. A private apt folder with deb-src
# entries copied from the machine's Debian entries leaves the system's apt
# configuration untouched.
say "building Qt $qt_version for Windows from source in $work"
aptdir="$work/apt"
mkdir -p "$aptdir/sources.list.d" "$aptdir/lists/partial" "$aptdir/cache"
codename="$(. /etc/os-release && echo "$VERSION_CODENAME")"
: >"$aptdir/sources.list.d/debian-src.sources"
for f in /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] || continue
  # Stanzas of binary entries for this release's suites become source entries.
  awk -v codename="$codename" '
    function flush() {
      if (stanza != "" && isdeb && suite) print stanza "\n"
      stanza = ""; isdeb = 0; suite = 0
    }
    /^[[:space:]]*$/ { flush(); next }
    /^#/ { next }
    /^Types:/ { isdeb = ($0 ~ /[[:space:]]deb([[:space:]]|$)/); $0 = "Types: deb-src" }
    /^Suites:/ { suite = ($0 ~ ("[[:space:]]" codename "([-[:space:]]|$)")) }
    /^Enabled:[[:space:]]*no/ { isdeb = 0 }
    { stanza = stanza (stanza == "" ? "" : "\n") $0 }
    END { flush() }' "$f" >>"$aptdir/sources.list.d/debian-src.sources"
done
if [ -f /etc/apt/sources.list ]; then
  awk -v codename="$codename" '$1 == "deb" && $0 ~ ("[[:space:]]" codename "([-[:space:]]|$)") {
         $1 = "deb-src"; print }' /etc/apt/sources.list >"$aptdir/sources.list.d/debian-src.list"
fi
if ! grep -q . "$aptdir/sources.list.d/"*; then
  say "no Debian entry for $codename found under /etc/apt"
  exit 1
fi
apt_private=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$aptdir/sources.list.d"
             -o "Dir::State::Lists=$aptdir/lists" -o "Dir::Cache=$aptdir/cache"
             -o "Dir::State::Status=/var/lib/dpkg/status")
apt-get "${apt_private[@]}" update -qq >&2
mkdir -p "$work/download"
if ! ls "$work/download/"qt6-base_*.orig.tar.* >/dev/null 2>&1; then
  (cd "$work/download" && apt-get "${apt_private[@]}" source --download-only "qt6-base=$host_qt" >&2)
fi
src="$work/qtbase-everywhere-src-$qt_version"
if [ ! -f "$src/CMakeLists.txt" ]; then
  rm -rf "$src"
  tar -xf "$work/download/"qt6-base_*.orig.tar.* -C "$work"
fi
[ -f "$src/CMakeLists.txt" ] || { say "the source did not unpack to $src"; exit 1; }

stage="$(dirname "$prefix")/.qt-stage"
build="$work/build"
rm -rf "$build"
mkdir -p "$build"
say "configuring in $build"
(cd "$build" && nice -n 19 cmake -G Ninja "$src" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_opengl_desktop=ON -DFEATURE_vulkan=OFF \
  -DINPUT_openssl=no -DFEATURE_tabletevent=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
  -DFEATURE_system_freetype=OFF -DFEATURE_system_libpng=OFF -DFEATURE_system_jpeg=OFF \
  -DFEATURE_freetype=ON >"$work/configure.log" 2>&1) ||
  { tail -40 "$work/configure.log" >&2; say "configure failed, see $work/configure.log"; exit 1; }
if [ $configure_only -eq 1 ]; then
  say "configured; log in $work/configure.log"
  exit 0
fi
say "building (about 40 minutes on 2 cores)"
nice -n 19 cmake --build "$build" -j2 >"$work/build.log" 2>&1 ||
  { tail -40 "$work/build.log" >&2; say "build failed, see $work/build.log"; exit 1; }
rm -rf "$stage"
# Installed beside the prefix and renamed into it; the paths Qt records are the prefix's.
cmake --install "$build" --prefix "$stage" >"$work/install.log" 2>&1 ||
  { tail -20 "$work/install.log" >&2; say "install failed"; exit 1; }
publish "$stage" "built from Debian's qt6-base $host_qt"
