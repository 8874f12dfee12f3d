#!/usr/bin/env bash
# Installs and prepares everything the build and the tests need, on a fresh
# Debian 12 machine as root. Safe to run again: each step is skipped when its
# result is already there.
#   - Debian packages (compilers, MinGW-w64, Wine, Xvfb, test tools)
#   - libpng and Google Benchmark built statically for MinGW-w64 from Debian's
#     own source packages (with Debian's patches applied), into deps/mingw
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
deps=${PULSERY_DEPS:-$top/deps}

packages=(cmake make g++ clang dpkg-dev g++-mingw-w64-x86-64-posix mingw-w64-tools
  libz-mingw-w64-dev googletest libgtest-dev libbenchmark-dev libpng-dev
  libclang-rt-14-dev wine wine64 xvfb xauth xdotool x11-apps imagemagick iproute2
  iputils-ping procps clang-format)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# MinGW needs the posix thread model (std::thread, std::mutex).
if [ "$(readlink -f /usr/bin/x86_64-w64-mingw32-g++ 2>/dev/null)" != /usr/bin/x86_64-w64-mingw32-g++-posix ]; then
  update-alternatives --set x86_64-w64-mingw32-g++ /usr/bin/x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || true
  update-alternatives --set x86_64-w64-mingw32-gcc /usr/bin/x86_64-w64-mingw32-gcc-posix >/dev/null 2>&1 || true
fi

# Source entries that mirror the machine's own binary entries, so that
# Debian's source packages can be fetched.
ensure_deb_src() {
  if [ -n "$(apt-get source --print-uris libpng1.6 2>/dev/null | grep -F .dsc)" ]; then return; fi
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    case "$f" in *-src.sources) continue ;; esac
    grep -q '^Types:.*deb-src' "$f" && continue
    sed 's/^Types: deb$/Types: deb-src/' "$f" > "${f%.sources}-src.sources"
  done
  if [ -f /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list; then
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' > /etc/apt/sources.list.d/pulsery-src.list
  fi
  apt-get update -qq
}

# Builds one of Debian's source packages (Debian's patches applied) as a
# static MinGW-w64 library into deps/mingw.
#   $1 source package, $2 file that marks it built, $3... CMake options
build_for_mingw() {
  local package=$1 marker=$2
  shift 2
  [ -f "$deps/mingw/$marker" ] && return 0
  echo "setup: building $package for MinGW-w64"
  ensure_deb_src
  local src=$deps/src-$package
  rm -rf "$src" && mkdir -p "$src"
  # Newest version first; a mirror may lack the newest one's files.
  local versions got=
  versions=$(apt-cache showsrc "$package" | awk '/^Version:/{print $2}' | sort -u -r -V)
  for v in $versions; do
    if (cd "$src" && apt-get source --download-only -qq "$package=$v" >/dev/null 2>&1); then
      got=$v
      break
    fi
    rm -f "$src"/*
  done
  [ -n "$got" ] || { echo "setup: no source of $package could be fetched" >&2; exit 1; }
  (cd "$src" && dpkg-source -x --no-check ./*.dsc tree >/dev/null)
  cmake -S "$src/tree" -B "$src/build" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps/mingw" "$@" >/dev/null
  cmake --build "$src/build" -j"$(nproc)" >/dev/null
  cmake --install "$src/build" >/dev/null
  rm -rf "$src"
  echo "setup: $package $got built"
}

build_for_mingw libpng1.6 lib/libpng16.a \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DZLIB_USE_STATIC_LIBS=ON -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON
build_for_mingw benchmark lib/libbenchmark.a \
  -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF \
  -DBENCHMARK_ENABLE_WERROR=OFF -DBENCHMARK_ENABLE_INSTALL=ON -DBUILD_SHARED_LIBS=OFF \
  -DGIT_VERSION=0.0.0

# GoogleTest for MinGW-w64, from the source that Debian's googletest package ships.
if [ ! -f "$deps/mingw/lib/libgtest.a" ]; then
  echo "setup: building GoogleTest for MinGW-w64"
  rm -rf "$deps/src-gtest"
  cmake -S /usr/src/googletest -B "$deps/src-gtest" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps/mingw" >/dev/null
  cmake --build "$deps/src-gtest" -j"$(nproc)" >/dev/null
  cmake --install "$deps/src-gtest" >/dev/null
  rm -rf "$deps/src-gtest"
fi

echo "setup: ready"
