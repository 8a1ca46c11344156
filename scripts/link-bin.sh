#!/usr/bin/env bash
# Points build/bin/trovik, build/bin/trovik-cli and build/bin/scpisim at the programs of one
# build tree (its path relative to the checkout, as build/release or build/test), so the
# commands in the README and docs/ work after whichever of run.sh and test.sh ran last.
set -euo pipefail
cd "$(dirname "$0")/.."
tree="$1"
mkdir -p build/bin
for program in app/trovik cli/trovik-cli tools/scpisim/scpisim; do
  if [ -x "$tree/$program" ]; then
    ln -sfn "../${tree#build/}/$program" "build/bin/$(basename "$program")"
  fi
done
