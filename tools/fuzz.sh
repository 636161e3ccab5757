#!/usr/bin/env bash
# fuzz.sh [SECONDS]: builds the libFuzzer targets in a clang tree (build/fuzz), writes the
# seed corpus with the sample-book generator, runs each target for SECONDS (default 60)
# and keeps every crash input in fuzz/regressions/<target>/, which the normal test run
# replays. Prints executions and coverage per target; fails when a target found a crash.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
tree=build/fuzz
targets=(container record_transfer icon_transfer link_table page_index)

CC=clang CXX=clang++ cmake -S . -B "$tree" -G Ninja -DTOMESHIFT_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$tree" -j "$(nproc)" --target make_fuzz_seeds "${targets[@]/%/_fuzzer}" >/dev/null

work="$tree/fuzz-run"
rm -rf "$work"
mkdir -p "$work"
"$tree/fuzz/make_fuzz_seeds" "$work/seeds"

found=0
for target in "${targets[@]}"; do
  corpus="$work/corpus/$target" artifacts="$work/artifacts/$target"
  mkdir -p "$corpus" "$artifacts"
  log="$work/$target.log"
  status=0
  "$tree/fuzz/${target}_fuzzer" -max_total_time="$seconds" -print_final_stats=1 -max_len=65536 \
    -rss_limit_mb=2048 -timeout=10 -artifact_prefix="$artifacts/" "$corpus" "$work/seeds/$target" \
    fuzz/regressions/"$target" >"$log" 2>&1 || status=$?
  execs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+).*/\1/p' "$log" | tail -n 1)
  cov=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -n 1 || true)
  echo "== $target: ${execs:-?} executions, ${cov:-no coverage line}, exit $status"
  for crash in "$artifacts"/*; do
    [ -e "$crash" ] || continue
    found=1
    cp "$crash" "fuzz/regressions/$target/"
    echo "   kept $(basename "$crash") in fuzz/regressions/$target/ (log: $log)"
  done
  if [ "$status" -ne 0 ] && ! compgen -G "$artifacts/*" >/dev/null; then
    found=1
    echo "   failed without a crash input; see $log"
  fi
done
[ "$found" -eq 0 ]
