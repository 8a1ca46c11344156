#!/bin/sh
# Runs a command in private user, network and mount namespaces with a fresh /tmp and a loopback
# of its own: the documents' demos write to /tmp and take fixed ports, and here they touch
# neither the machine's /tmp nor its network. Exits 77 (skipped) where namespaces are not allowed.
if ! unshare -rnm true 2>/dev/null; then
  echo "user namespaces are not available: skipped"
  exit 77
fi
exec unshare -rnm sh -c 'mount -t tmpfs tmpfs /tmp && ip link set lo up && exec "$0" "$@"' "$@"
