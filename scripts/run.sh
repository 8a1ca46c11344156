#!/usr/bin/env bash
# Installs the dependencies, builds Trovik (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
BUILD_TYPE=Release bash scripts/build.sh -DTROVIK_BUILD_TESTS=OFF -DTROVIK_BUILD_BENCH=OFF >/dev/null
exec build/bin/trovik "$@"
