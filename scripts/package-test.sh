#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine with apt-get, uses the installed
# programs the way a user would (no LD_LIBRARY_PATH, nothing from the build tree) and purges
# it again, then checks that nothing of it is left.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(bash scripts/package.sh | tail -n 1)
if dpkg -s trovik >/dev/null 2>&1; then
  echo "trovik is installed already; this check installs and purges it itself" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -q "./$deb" >/dev/null
mapfile -t files < <(dpkg -L trovik | while read -r f; do [ -d "$f" ] || echo "$f"; done)
work=$(mktemp -d)
cleanup() { apt-get purge -y -q trovik >/dev/null 2>&1 || true; rm -rf "$work"; }
trap cleanup EXIT
unset LD_LIBRARY_PATH PONTIL_LIBRARY_PATH PONTIL_ROOT
cd "$work"

[ "$(command -v trovik-cli)" = /usr/bin/trovik-cli ]
awk 'BEGIN { for (i = 0; i < 1000; i++) printf "%d.5 -%d\n", i, i }' >tone.asc
trovik-cli convert --from matlab-ascii-mixed --in tone.asc --to iqw-pairs --out tone.iqw
trovik-cli info --from iqw-pairs --in tone.iqw --rate 1e6 | grep -qx 'samples: 1000'
# libkxvisa.so.1 beside /usr/lib/<multiarch>/libpontil.so.1 serves, with its own version.
visa=$(trovik-cli visa)
grep -q 'choice: 0x0FAF kxvisa' <<<"$visa"
grep -Eq "served by (/usr)?/lib/[a-z0-9_]+-linux-gnu[a-z]*/libkxvisa.so.1$" <<<"$visa"
grep -q 'version 1.0.0, Vantorp kxvisa' <<<"$visa"
trovik-cli sysinfo | grep -qx 'VISA: 1.0.0 (Vantorp GmbH)'
man -w trovik-cli >/dev/null && man -w trovik >/dev/null
[ -f /usr/share/bash-completion/completions/trovik-cli ] && [ -f /usr/share/doc/trovik/Trovik.pdf ]
HOME=$work xvfb-run -a sh "$OLDPWD/tests/instrument/trovikstart.sh" /usr/bin/trovik "Trovik32 v6.0.6"
# The Python module from dist-packages, nothing of the build tree on the path.
env -u PYTHONPATH /usr/bin/python3 - <<'PYTHON'
import numpy as np
import trovik
assert trovik.__file__ == "/usr/lib/python3/dist-packages/trovik/__init__.py", trovik.__file__
x = (np.exp(2j * np.pi * np.arange(1000) / 50) * 0.5).astype(np.complex64)
trovik.save("py.wv", x, sample_rate=1e6)
back = trovik.load("py.wv")
assert len(back) == 1000 and back.sample_rate == 1e6
trovik.save("py.iqw", back, type="iqw-pairs")
assert (trovik.load("py.iqw", "iqw-pairs").iq == back.iq).all()
PYTHON
cd "$OLDPWD"

apt-get purge -y -q trovik >/dev/null
trap 'rm -rf "$work"' EXIT
if dpkg -s trovik >/dev/null 2>&1; then
  echo "trovik is still known to dpkg after the purge" >&2
  exit 1
fi
for f in "${files[@]}"; do
  if [ -e "$f" ] || [ -L "$f" ]; then
    echo "left behind: $f" >&2
    exit 1
  fi
done
echo "installed, used and purged $deb: nothing left"
