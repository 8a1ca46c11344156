#!/usr/bin/env bash
# Configures and builds into build/<type> (default Release). Extra arguments go to CMake.
set -euo pipefail
cd "$(dirname "$0")/.."
type="${BUILD_TYPE:-Release}"
dir="build/${type,,}"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@"
cmake --build "$dir" -j"$(nproc)"
bash scripts/link-bin.sh "$dir"
echo "$dir"
