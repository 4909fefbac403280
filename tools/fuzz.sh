#!/usr/bin/env bash
# Builds the fuzz targets with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/, makes their seed inputs and runs
# each target for SECONDS, then prints its executions and coverage. Inputs that
# make a target fail are kept in build-fuzz/artifacts/.
# Usage: tools/fuzz.sh SECONDS
set -euo pipefail
seconds=${1:?usage: tools/fuzz.sh SECONDS}
top=$(cd "$(dirname "$0")/.." && pwd)
out=$top/build-fuzz
"$top/tools/install-packages.sh" clang-14 libclang-rt-14-dev
mkdir -p "$out/artifacts"

cxx=clang++-14
flags=(-std=c++20 -g -O1 -I"$top" -Wall -Wextra)
sanitizers=("-fsanitize=fuzzer,address,undefined" -fno-sanitize-recover=all)
display_sources=("$top"/display/*.cpp)

echo "building the fuzz targets in $out" >&2
"$cxx" "${flags[@]}" "$top/fuzz/make_corpus.cpp" "$top/tools/bmp_file.cpp" -o "$out/make_corpus"
"$cxx" "${flags[@]}" "${sanitizers[@]}" "$top/fuzz/picture_fuzzer.cpp" "${display_sources[@]}" \
  -o "$out/picture_fuzzer"

status=0
targets=(picture_fuzzer)
for target in "${targets[@]}"; do
  seeds=$out/$target-seeds
  corpus=$out/$target-corpus
  rm -rf "$seeds"
  mkdir -p "$seeds" "$corpus"
  "$out/make_corpus" "$seeds" >&2
  log=$out/$target.log
  echo "running $target for $seconds s (log: $log)" >&2
  run_status=0
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$out/$target" -max_total_time="$seconds" -max_len=40000 -print_final_stats=1 -timeout=10 \
    -artifact_prefix="$out/artifacts/$target-" "$corpus" "$seeds" >"$log" 2>&1 || run_status=$?
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1 || true)
  coverage=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -n1 || true)
  echo "$target: ${executions:-?} executions, ${coverage:-no coverage line}, corpus $(find "$corpus" -type f | wc -l) inputs"
  if [ "$run_status" -ne 0 ]; then
    echo "$target FAILED (status $run_status):"
    grep -E 'picture fuzzer:|ERROR:|runtime error|SUMMARY|Test unit written' "$log" | head -n 20
    status=1
  fi
done
exit $status
