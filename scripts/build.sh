#!/usr/bin/env bash
# Builds pulsery.exe and the Windows tests with MinGW-w64 into build/win.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash scripts/setup-deps.sh
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CROSSCOMPILING_EMULATOR=wine >/dev/null
cmake --build build/win -j"$(nproc)"
