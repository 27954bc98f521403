#!/usr/bin/env bash
# Installs everything a fresh Debian machine needs to build and test the
# installer, idempotently. Safe to run before every build: each step checks
# whether it is already done.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cache=${ZUVO_CACHE:-/var/cache/zuvo-build}
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

log() { printf '[setup] %s\n' "$*"; }

packages=(
  cmake ninja-build make pkg-config dpkg-dev
  g++ googletest clang-14 libclang-rt-14-dev
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix libz-mingw-w64-dev
  zlib1g-dev libjpeg62-turbo-dev libpixman-1-dev libbenchmark-dev
  libfreetype-dev libpng-dev
  wine wine32 fonts-wine xvfb xauth x11-utils x11-apps
  nsis time
)

missing_packages() {
  local p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || echo "$p"
  done
}

ensure_i386() {
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    log "adding the i386 architecture (wine32)"
    $sudo dpkg --add-architecture i386
    apt_updated=""
  fi
}

# apt-get source needs a deb-src entry for the same archive apt already uses.
ensure_deb_src() {
  local list=/etc/apt/sources.list.d/zuvo-src.sources
  [ -f "$list" ] && return
  local src=/etc/apt/sources.list.d/debian.sources
  if [ -f "$src" ]; then
    log "adding deb-src entries mirroring $src"
    sed -e 's/^Types:.*/Types: deb-src/' "$src" | $sudo tee "$list" >/dev/null
  else
    log "adding deb-src entries mirroring /etc/apt/sources.list"
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
      $sudo tee /etc/apt/sources.list.d/zuvo-src.list >/dev/null
    $sudo touch "$list"
  fi
  apt_updated=""
}

apt_updated=""
apt_update() {
  [ -n "$apt_updated" ] && return
  log "apt-get update"
  $sudo apt-get update -qq
  apt_updated=1
}

ensure_packages() {
  local missing
  missing=$(missing_packages)
  [ -z "$missing" ] && return
  apt_update
  log "installing:" $missing
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
}

# Unpacks Debian's own libjpeg-turbo source into $1/src.
libjpeg_source() {
  apt_update
  (cd "$1" && apt-get source -qq --download-only libjpeg-turbo >/dev/null &&
    dpkg-source -x --skip-patches ./*.dsc src >/dev/null 2>&1 || dpkg-source -x ./*.dsc src >/dev/null)
}

# Builds libjpeg-turbo's jpeg62 API statically into the cache folder $1;
# further arguments go to its CMake configuration.
build_libjpeg() {
  local prefix=$1 work
  shift
  work=$(mktemp -d)
  log "building libjpeg-turbo into $prefix in $work"
  libjpeg_source "$work"
  cmake -S "$work/src" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
    -DWITH_JPEG7=OFF -DWITH_JPEG8=OFF "$@" >/dev/null
  cmake --build "$work/build" --target jpeg-static >/dev/null
  $sudo mkdir -p "$prefix/lib" "$prefix/include"
  $sudo cp "$work/build/libjpeg.a" "$prefix/lib/"
  $sudo cp "$work/build/jconfig.h" "$work/src/jerror.h" "$work/src/jmorecfg.h" "$work/src/jpeglib.h" "$prefix/include/"
  rm -rf "$work"
}

# Debian ships no mingw build of libjpeg: build it once into the cache.
ensure_mingw_libjpeg() {
  local prefix=$cache/libjpeg-mingw32
  [ -f "$prefix/lib/libjpeg.a" ] && [ -f "$prefix/include/jpeglib.h" ] && return
  build_libjpeg "$prefix" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake"
}

# The fuzz preset links libjpeg built with coverage and AddressSanitizer, so
# that the fuzzer sees which paths of the decoder an input takes and every
# write into our buffers is checked.
# libpng for the 32-bit Windows benchmarks: the skin load beside decoding the
# same pictures with it (mingw has none of its own).
build_mingw_libpng() {
  local prefix=$1 work
  work=$(mktemp -d)
  log "building libpng into $prefix in $work"
  apt_update
  # The security suite's newest source may be gone while its binary stays:
  # the release's own is taken then.
  (cd "$work" && { apt-get source -qq --download-only libpng1.6 >/dev/null 2>&1 ||
    apt-get source -qq --download-only "libpng1.6/$(. /etc/os-release && echo "$VERSION_CODENAME")" >/dev/null; } &&
    dpkg-source -x ./*.dsc src >/dev/null 2>&1)
  cmake -S "$work/src" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DPNG_BUILD_ZLIB=OFF -DSKIP_INSTALL_PROGRAMS=ON >/dev/null
  cmake --build "$work/build" --target png_static >/dev/null
  $sudo mkdir -p "$prefix/lib" "$prefix/include"
  $sudo cp "$work/build/libpng.a" "$prefix/lib/" 2>/dev/null || $sudo cp "$work"/build/libpng*.a "$prefix/lib/libpng.a"
  $sudo cp "$work/src/png.h" "$work/src/pngconf.h" "$work/build/pnglibconf.h" "$prefix/include/"
  rm -rf "$work"
}

ensure_mingw_libpng() {
  local prefix=$cache/libpng-mingw32
  [ -f "$prefix/lib/libpng.a" ] && [ -f "$prefix/include/png.h" ] && return
  build_mingw_libpng "$prefix"
}

# Google Benchmark and pixman for the pixel benchmarks of the 32-bit Windows
# build, built from Debian's sources as the build is (mingw has neither).
build_mingw_benchmark() {
  local prefix=$1 work
  work=$(mktemp -d)
  log "building Google Benchmark into $prefix in $work"
  apt_update
  (cd "$work" && apt-get source -qq --download-only benchmark >/dev/null 2>&1 || true)
  tar -xzf "$work"/benchmark_*.orig.tar.gz -C "$work"
  cmake -S "$work"/benchmark-*/ -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" -DBENCHMARK_ENABLE_TESTING=OFF \
    -DBENCHMARK_ENABLE_GTEST_TESTS=OFF -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_ENABLE_INSTALL=OFF >/dev/null 2>&1
  cmake --build "$work/build" --target benchmark >/dev/null
  $sudo mkdir -p "$prefix/lib" "$prefix/include"
  $sudo cp "$work/build/src/libbenchmark.a" "$prefix/lib/"
  $sudo cp -r "$work"/benchmark-*/include/benchmark "$prefix/include/"
  rm -rf "$work"
}

build_mingw_pixman() {
  local prefix=$1 work
  work=$(mktemp -d)
  log "building pixman into $prefix in $work"
  apt_update
  # Only the upstream archive is needed; Debian's own changes may be gone.
  (cd "$work" && apt-get source -qq --download-only pixman >/dev/null 2>&1 || true)
  tar -xzf "$work"/pixman_*.orig.tar.gz -C "$work"
  (cd "$work"/pixman-*/ && ./configure --host=i686-w64-mingw32 --disable-shared --enable-static --disable-gtk \
    --disable-libpng --disable-openmp CC=i686-w64-mingw32-gcc-posix CFLAGS="-O2 -msse2 -mfpmath=sse" >/dev/null &&
    make -C pixman >/dev/null 2>&1)
  $sudo mkdir -p "$prefix/lib" "$prefix/include"
  $sudo cp "$work"/pixman-*/pixman/.libs/libpixman-1.a "$prefix/lib/"
  $sudo cp "$work"/pixman-*/pixman/pixman.h "$work"/pixman-*/pixman/pixman-version.h "$prefix/include/"
  rm -rf "$work"
}

ensure_mingw_bench_libraries() {
  [ -f "$cache/benchmark-mingw32/lib/libbenchmark.a" ] || build_mingw_benchmark "$cache/benchmark-mingw32"
  [ -f "$cache/pixman-mingw32/lib/libpixman-1.a" ] || build_mingw_pixman "$cache/pixman-mingw32"
}

ensure_fuzz_libjpeg() {
  local prefix=$cache/libjpeg-fuzz
  [ -f "$prefix/lib/libjpeg.a" ] && [ -f "$prefix/include/jpeglib.h" ] && return
  build_libjpeg "$prefix" -DCMAKE_C_COMPILER=clang-14 \
    -DCMAKE_C_FLAGS="-g -fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer"
}

ensure_i386
ensure_deb_src
ensure_packages
ensure_mingw_libjpeg
ensure_fuzz_libjpeg
ensure_mingw_libpng
# Only the 32-bit pixel benchmarks need these (scripts/bench.sh skin32):
# the build and the tests do without them.
[ "${ZUVO_BENCH_LIBS:-0}" = 1 ] && ensure_mingw_bench_libraries
log "ready (dependency cache: $cache)"
