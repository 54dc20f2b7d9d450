#!/bin/bash
# Ends the shared Wine session: every Wine process, the wineserver and the virtual screen.
dir=$1
if [ -f "$dir/env" ]; then
    # shellcheck disable=SC1091
    source "$dir/env"
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
fi
if [ -f "$dir/xvfb.pid" ]; then
    kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
    rm -f "$dir/xvfb.pid"
fi
exit 0
