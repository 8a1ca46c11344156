#!/usr/bin/env bash
# Builds every libFuzzer target with ASan + UBSan (clang, build/fuzz) and runs each for MINUTES
# minutes (default 10) on a scratch copy of its corpus, JOBS targets at a time (default 1);
# then prints one Markdown table of the figures, as fuzz/README.md keeps them.
#   bash fuzz/run-all.sh [MINUTES] [TARGET...]        JOBS=2 bash fuzz/run-all.sh 10
# Inputs that crash are kept in build/fuzz/artifacts/<target>/; new corpus inputs stay in
# build/fuzz/work/<target>/ (copy the useful ones into fuzz/corpus/<target>/ by hand).
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-10}
shift || true
jobs=${JOBS:-1}
dir=build/fuzz
mapfile -t all < <(ls fuzz/*_fuzz.cmake | sed 's#fuzz/##; s#_fuzz.cmake##' | sort)
targets=("${all[@]}")
[ "$#" -gt 0 ] && targets=("$@")

sanitize="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTROVIK_BUILD_FUZZ=ON -DTROVIK_BUILD_TESTS=OFF -DTROVIK_BUILD_BENCH=OFF \
  -DCMAKE_C_FLAGS="$sanitize" -DCMAKE_CXX_FLAGS="$sanitize" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$dir" -j"$(nproc)" --target "${targets[@]/%/_fuzzer}"

run() {
  local t=$1 work=$dir/work/$1 art=$dir/artifacts/$1/
  mkdir -p "$work" "$art"
  ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$dir/fuzz/${t}_fuzzer" -max_total_time=$((minutes * 60)) -rss_limit_mb=2048 \
      -malloc_limit_mb=1024 -max_len=65536 -print_final_stats=1 -artifact_prefix="$art" \
      "$work" "fuzz/corpus/$t" >"$dir/$t.log" 2>&1 || true
}

running=0
for t in "${targets[@]}"; do
  run "$t" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then wait -n; running=$((running - 1)); fi
done
wait

echo
echo "| Target | Minutes | Executions | exec/s | Coverage (edges / features) | Corpus | Crashes |"
echo "|---|---|---|---|---|---|---|"
for t in "${targets[@]}"; do
  log=$dir/$t.log
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
  rate=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
  status=$(grep -E '^#[0-9]+' "$log" | tail -1)
  cov=$(echo "$status" | grep -o 'cov: [0-9]*' | grep -o '[0-9]*' || echo '?')
  ft=$(echo "$status" | grep -o 'ft: [0-9]*' | grep -o '[0-9]*' || echo '?')
  corp=$(echo "$status" | grep -o 'corp: [0-9]*' | grep -o '[0-9]*' || echo '?')
  crashes=$(find "$dir/artifacts/$t" -type f | wc -l)
  echo "| $t | $minutes | $execs | $rate | $cov / $ft | $corp | $crashes |"
done
