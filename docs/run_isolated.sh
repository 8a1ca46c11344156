#!/bin/sh
# Runs a command in private user, network and mount namespaces with a fresh /tmp and a loopback
# of its own: the documents' demos write to /tmp and take fixed ports, and here they touch
# neither the machine's /tmp nor its network. A checkout that itself lies under /tmp (a fresh
# clone there) stays visible: the folders of the command's arguments below /tmp are bound into
# the fresh one, through the old /tmp bound at /mnt first. Exits 77 (skipped) where namespaces
# are not allowed.
if ! unshare -rnm true 2>/dev/null; then
  echo "user namespaces are not available: skipped"
  exit 77
fi
exec unshare -rnm sh -c '
  keep=""
  for a in "$@"; do
    case "$a" in /tmp/?*) rest=${a#/tmp/}; keep="$keep ${rest%%/*}" ;; esac
  done
  if [ -n "$keep" ]; then mount --bind /tmp /mnt || exit 1; fi
  mount -t tmpfs tmpfs /tmp || exit 1
  for d in $keep; do
    mkdir -p "/tmp/$d" && mount --bind "/mnt/$d" "/tmp/$d" || exit 1
  done
  ip link set lo up
  exec "$@"' isolated "$@"
