#!/bin/sh
# Starts trovik on the X display of xvfb-run, waits for a top-level window with the given
# title, then stops the program. Exit status 0 when the window came up.
#   trovikstart.sh TROVIK TITLE
program="$1"
title="$2"
# The suite runs offscreen; this check needs a real window on the virtual display.
QT_QPA_PLATFORM=xcb "$program" >/dev/null 2>&1 &
pid=$!
found=1
i=0
while [ $i -lt 100 ]; do
    if xwininfo -root -tree 2>/dev/null | grep -q "\"$title\""; then
        found=0
        break
    fi
    if ! kill -0 "$pid" 2>/dev/null; then
        break
    fi
    sleep 0.1
    i=$((i + 1))
done
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
[ $found -eq 0 ] || echo "no window \"$title\" appeared" >&2
exit $found
