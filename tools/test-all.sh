#!/usr/bin/env bash
# Builds every tree and runs every test: native, native with AddressSanitizer and UBSan,
# and the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh

jobs=$(nproc)
configure_and_build() {  # DIR [cmake options...]
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}
run_tests() {  # DIR
  ctest --test-dir "$1" --output-on-failure -j "$jobs" | tee "$1/ctest-summary.log" | tail -n 4
  return "${PIPESTATUS[0]}"
}

# The 32-bit tree first: the other trees take its engine instead of building their own.
configure_and_build build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
i686=(-DTOMESHIFT_I686_BINARY_DIR="$PWD/build/windows")
configure_and_build build/native "${i686[@]}"
configure_and_build build/asan -DTOMESHIFT_SANITIZE=ON "${i686[@]}"

trees=(build/native build/asan)
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  trees+=(build/windows)
else
  # The kernel runs no 32-bit programs (ia32 emulation off), so 32-bit Wine cannot start:
  # the same sources are built as 64-bit Windows programs and run under 64-bit Wine.
  echo "== 32-bit programs cannot run on this machine; Windows tests run under 64-bit Wine"
  configure_and_build build/windows64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake "${i686[@]}"
  trees+=(build/windows64)
fi

passed=0 failed=0
for tree in "${trees[@]}"; do
  echo "== tests in $tree"
  if run_tests "$tree"; then :; fi
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of' "$tree/ctest-summary.log" || true)
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
  [ -n "$line" ] || { total=1; bad=1; }
  passed=$((passed + total - bad)); failed=$((failed + bad))
done
# A short fuzz run of every target (about 10 s each), counted as one more test.
echo "== fuzz targets, 10 s each"
if bash tools/fuzz.sh 10; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
