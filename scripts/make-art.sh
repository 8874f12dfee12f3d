#!/usr/bin/env bash
# Regenerates the shipped pictures from their sources in data/art: every
# icon set in data/IconSets and the application icon res/pulsery.ico.
# Built natively with the system's libpng; the output is deterministic.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out="$top/build/art"
mkdir -p "$out"
png=$(pkg-config --cflags --libs libpng 2>/dev/null || echo -lpng)
g++ -std=c++20 -O2 -Wall -Wextra -o "$out/make_art" "$top/data/art/make_art.cpp" $png
"$out/make_art" "$top"
echo "pictures written to data/IconSets and res/pulsery.ico"
