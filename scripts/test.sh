#!/usr/bin/env bash
# Installs what is missing, builds and runs every test layer:
#  1. native unit tests (g++), and the benchmarks built (not run);
#  2. native unit tests under ASan + UBSan (clang), and short fuzzing runs;
#  3. the Windows test executable and the end-to-end tests under Wine + Xvfb.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
jobs=$(nproc)
bash scripts/setup-deps.sh

passed=0
failed=0
# Runs a ctest command in a build folder and adds its counts to the totals.
run_ctest() {
  local dir=$1
  shift
  local log=$dir/ctest.log
  (cd "$dir" && "$@" 2>&1) | tee "$log" || true
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1 || true)
  if [ -z "$line" ]; then
    echo "test: no ctest summary in $dir" >&2
    failed=$((failed + 1))
    return
  fi
  local total bad
  total=$(echo "$line" | sed -E 's/.*out of ([0-9]+).*/\1/')
  bad=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed.*/\1/')
  passed=$((passed + total - bad))
  failed=$((failed + bad))
}

echo "== native tests (g++)"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j"$jobs" >/dev/null
run_ctest build/native ctest --output-on-failure -j"$jobs"

echo "== native tests under ASan + UBSan, and fuzzing (clang)"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DPULSERY_SANITIZE=ON -DPULSERY_FUZZ=ON -DPULSERY_BENCH=OFF >/dev/null
cmake --build build/asan -j"$jobs" >/dev/null
run_ctest build/asan env ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j"$jobs"

echo "== Windows tests and end-to-end tests under Wine"
bash scripts/build.sh >/dev/null
. scripts/wine-env.sh
pulsery_wine_prefix
cat > build/win/run-ctest.sh <<INNER
. "$top/scripts/wine-env.sh"
wineserver -p
wine cmd /c exit >/dev/null 2>&1
cd "$top/build/win" && ctest --output-on-failure -j1
status=\$?
wineserver -k 2>/dev/null
exit \$status
INNER
run_ctest build/win xvfb-run -a -s "-screen 0 1024x768x24" bash run-ctest.sh

echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
