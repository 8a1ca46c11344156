#!/bin/sh
# Runs a test in a private network namespace with its own loopback, so the simulator can
# take the portmapper port 111 and the fixed SCPI port without touching the host network.
exec unshare -rn sh -c 'ip link set lo up && exec "$0" "$@"' "$@"
