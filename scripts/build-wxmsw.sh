#!/usr/bin/env bash
# Builds wxWidgets for Windows (wxMSW), static, with Debian's mingw-w64
# toolchain for one architecture, from Debian's own wxWidgets source package:
#
#   scripts/build-wxmsw.sh i686|x86_64            builds it unless cached
#   scripts/build-wxmsw.sh i686|x86_64 --prefix   only prints where it goes
#
# The result lands in a cache outside the checkout (SKYVANE_CACHE_DIR,
# /var/cache/skyvane by default), in a directory named after the wxWidgets
# version, the architecture and a digest of the configure flags, so a machine
# that has built it once skips the build (about 15 minutes an architecture on
# two cores) and a change of version or flags builds afresh beside it. The
# directory appears only when complete: a broken or interrupted build leaves
# nothing that looks finished.
set -euo pipefail
cd "$(dirname "$0")/.."

arch=${1:?usage: $0 i686|x86_64 [--prefix]}
case $arch in
  i686 | x86_64) ;;
  *) echo "unknown architecture: $arch" >&2; exit 2 ;;
esac
host=$arch-w64-mingw32
cache=${SKYVANE_CACHE_DIR:-/var/cache/skyvane}

# The version Debian ships, without its packaging suffix (3.2.2+dfsg-2).
package=wxwidgets3.2
version=$(apt-cache showsrc "$package" 2>/dev/null | sed -n 's/^Version: //p' | sort -V | tail -n 1)
upstream=${version%%+*}
upstream=${upstream%%-*}
if [ -z "$upstream" ]; then
  # No deb-src entries yet: the install script enables them.
  scripts/install-deps.sh windows >&2
  version=$(apt-cache showsrc "$package" | sed -n 's/^Version: //p' | sort -V | tail -n 1)
  upstream=${version%%+*}
  upstream=${upstream%%-*}
fi

# Debian's source has the bundled image and XML libraries stripped; Skyvane
# draws its own pictures and reads no XML, so it needs none of them, nor the
# libraries and controls it does not use, which would only lengthen the
# build. Precompiled headers and -O1 make the build about three times
# quicker than wx's default -O2 without them; a program that mostly waits
# for a timer loses nothing by it.
flags=(
  --host="$host" --build="$(gcc -dumpmachine)"
  --with-msw --disable-shared --enable-precomp-headers
  --with-regex=builtin --with-zlib=sys
  --without-libpng --without-libjpeg --without-libtiff --without-expat
  --without-opengl --disable-xrc --disable-html --disable-webview --disable-mediactrl
  --disable-stc --disable-richtext --disable-propgrid --disable-ribbon --disable-aui
  --disable-grid --disable-dataviewctrl --disable-treelist --disable-svg --disable-postscript
  --disable-printarch --disable-docview --disable-mdi --disable-webrequest --disable-joystick
  --disable-wizarddlg --disable-calendar --disable-datepick --disable-timepick
  CFLAGS=-O1 CXXFLAGS=-O1
)
compilers=(CC="$host-gcc-posix" CXX="$host-g++-posix" RANLIB="$host-ranlib" AR="$host-ar")
digest=$(printf '%s\n' "$version" "${flags[@]}" "${compilers[@]}" | sha256sum | cut -c1-8)
prefix=$cache/wxmsw-$upstream-$arch-$digest

if [ "${2:-}" = "--prefix" ]; then
  echo "$prefix"
  exit 0
fi
if [ -x "$prefix/bin/wx-config" ]; then
  echo "wxMSW $upstream for $arch: cached in $prefix"
  exit 0
fi

scripts/install-deps.sh windows
mkdir -p "$cache"
# Two builds of the same cache entry at once would trip over each other.
exec 9>"$prefix.lock"
flock 9
if [ -x "$prefix/bin/wx-config" ]; then
  echo "wxMSW $upstream for $arch: cached in $prefix"
  exit 0
fi

echo "== wxMSW $upstream for $arch into $prefix"
# The source, unpacked once for both architectures; each builds outside it.
src=$cache/wxwidgets-$version-src
if [ ! -f "$src/configure" ]; then
  fetch=$(mktemp -d "$cache/fetch.XXXXXX")
  chmod 755 "$fetch" # apt fetches as its own user
  (cd "$fetch" && apt-get source --download-only -qq "$package=$version" &&
    dpkg-source -x ./*.dsc src >/dev/null)
  rm -rf "$src"
  mv "$fetch/src" "$src"
  rm -rf "$fetch"
fi
work=$(mktemp -d "$cache/build-$arch.XXXXXX")
trap 'rm -rf "$work" "$prefix.partial"' EXIT
rm -rf "$prefix.partial"
mkdir -p "$work/build"
(
  cd "$work/build"
  "$src/configure" --prefix="$prefix.partial" "${flags[@]}" "${compilers[@]}" >configure.log ||
    { tail -n 40 configure.log >&2; exit 1; }
  make -j"${SKYVANE_JOBS:-2}" >make.log 2>&1 || { tail -n 60 make.log >&2; exit 1; }
  make install >install.log 2>&1 || { tail -n 40 install.log >&2; exit 1; }
)
# wx-config knows its prefix; moved into place it must point at the final one.
sed -i "s|$prefix.partial|$prefix|g" "$prefix.partial/bin/"wx-config "$prefix.partial"/lib/wx/config/*
# wx-config is a link into lib/wx/config, which the sed above replaced by a
# file of its own: make it a link again.
config=$(basename "$(ls "$prefix.partial"/lib/wx/config/*)")
ln -sf "../lib/wx/config/$config" "$prefix.partial/bin/wx-config"
mv "$prefix.partial" "$prefix"
echo "wxMSW $upstream for $arch: built into $prefix ($(du -sh "$prefix" | cut -f1))"
