#!/usr/bin/env bash
# Builds the Debian package build/package/trovik_<version>_<arch>.deb: the programs, libraries,
# desktop entry, icons, manual, manual pages and bash completion under /usr, with Depends worked
# out by dpkg-shlibdeps. Then checks it with lintian when lintian is installed.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "${SKIP_DEPS:-0}" = 1 ] || bash scripts/install-deps.sh
dir=build/package
# RelWithDebInfo shares compiled objects with build/test through ccache; CPack strips the files.
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_INSTALL_DOCDIR=share/doc/trovik -DTROVIK_BUILD_TESTS=OFF -DTROVIK_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j"$(nproc)"
rm -f "$dir"/trovik_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(ls "$dir"/trovik_*.deb)
if command -v lintian >/dev/null; then
  # Errors fail the build; warnings are listed.
  lintian --fail-on error --no-tag-display-limit "$deb"
fi
echo "$deb"
