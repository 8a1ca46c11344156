#!/bin/sh
# trovik-cli saving onto a disk with no room left (a small tmpfs in a private user and mount
# namespace): exit status 1, one line on stderr that names the file and the system's reason, and
# the old output file byte for byte as it was.
# Usage: fulldisk_test.sh TROVIK_CLI
set -eu
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
awk 'BEGIN { for (i = 0; i < 4000; i++) printf "%d.25 -%d.5\n", i, i }' >"$work/in.asc"
mkdir "$work/disk"
if ! unshare -rm true 2>/dev/null; then
  echo "no user namespaces here: skipped"
  exit 77
fi
# $1 KiB of the 64 KiB disk are taken before the save (64 = full, 40 = the save runs out midway).
check() {
  unshare -rm sh -s "$cli" "$work" "$1" <<'INNER'
set -u
cli=$1 work=$2 taken=$3
disk=$work/disk
mount -t tmpfs -o size=64k tmpfs "$disk" || exit 3
printf 'old contents\n' >"$disk/out.asc"
dd if=/dev/zero of="$disk/filler" bs=1k count="$taken" 2>/dev/null || true
status=0
"$cli" convert --from 1 --in "$work/in.asc" --to 1 --out "$disk/out.asc" >"$work/out" 2>"$work/err" || status=$?
fail=0
[ "$status" = 1 ] || { echo "taken ${taken}k: exit status $status, not 1"; fail=1; }
[ "$(wc -l <"$work/err")" = 1 ] || { echo "taken ${taken}k: stderr is not one line:"; cat "$work/err"; fail=1; }
grep -q 'File Save Error' "$work/err" || { echo "taken ${taken}k: no save error:"; cat "$work/err"; fail=1; }
grep -qF "File Save Error. $disk/out.asc: No space left on device (status -1" "$work/err" || { echo "taken ${taken}k: the file or the reason is not named:"; cat "$work/err"; fail=1; }
[ ! -s "$work/out" ] || { echo "taken ${taken}k: output on stdout"; fail=1; }
[ "$(cat "$disk/out.asc")" = "old contents" ] || { echo "taken ${taken}k: the old file changed"; fail=1; }
[ "$(ls "$disk")" = "$(printf 'filler\nout.asc')" ] || { echo "taken ${taken}k: left behind:"; ls -la "$disk"; fail=1; }
exit $fail
INNER
}
check 64
check 40
# With room on the disk the same command succeeds, so the failures above were the disk's.
unshare -rm sh -c 'mount -t tmpfs -o size=1m tmpfs "$1/disk" && "$2" convert --from 1 --in "$1/in.asc" --to 1 --out "$1/disk/out.asc" && test -s "$1/disk/out.asc"' sh "$work" "$cli"
echo "full-disk saves leave the old file"
