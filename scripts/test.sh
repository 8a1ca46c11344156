#!/usr/bin/env bash
# Installs the dependencies, builds everything with the tests and runs the whole suite.
#   SANITIZE=1 bash scripts/test.sh   the same under AddressSanitizer + UBSan (build/sanitize)
#   LONG=1 bash scripts/test.sh       also the tests labelled long (minutes each, gigabytes of disk)
# The Python module's tests run last, with Debian's pytest against the module in the build tree.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
if [ "${SANITIZE:-0}" = 1 ]; then
  dir=build/sanitize
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTROVIK_SANITIZE=ON -DTROVIK_BUILD_BENCH=OFF
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:allocator_may_return_null=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
else
  dir=build/test
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$dir" -j"$(nproc)"
bash scripts/link-bin.sh "$dir"
top=$PWD
cd "$dir"
labels=(-LE 'long|python')
if [ "${LONG:-0}" = 1 ]; then labels=(-LE python); fi
ctest --output-on-failure -j"$(nproc)" --timeout 600 "${labels[@]}"

# pytest exits 5 when it collected no tests: a tree without the module (the sanitizer build)
# has none to run, which is no failure.
if ls python/trovik/_trovik*.so >/dev/null 2>&1; then
  status=0
  TROVIK_PYTHON_DIR="$PWD/python" TROVIK_SCPISIM="$PWD/tools/scpisim/scpisim" \
    TROVIK_CLI="$PWD/cli/trovik-cli" /usr/bin/python3 -m pytest -q -p no:cacheprovider \
    "$top/tests/python" || status=$?
  if [ "$status" -ne 0 ] && [ "$status" -ne 5 ]; then exit "$status"; fi
else
  echo "no Python module in $dir: its tests are skipped"
fi
