#!/bin/bash
# Starts the Wine session that the Windows and end-to-end tests share: a virtual screen, a
# fresh Wine prefix in a Japanese locale, a persistent wineserver, and sound captured to a file.
set -euo pipefail
dir=$1
here=$2
if [ -f "$dir/xvfb.pid" ]; then "$here/stop-session.sh" "$dir" || true; fi
rm -rf "$dir"
mkdir -p "$dir/home"

# Xvfb picks a free display and writes its number to fd 3. Nothing may keep ctest's pipes open.
setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -ac \
    3>"$dir/display" </dev/null >"$dir/xvfb.log" 2>&1 &
echo $! >"$dir/xvfb.pid"
for _ in $(seq 100); do
    [ -s "$dir/display" ] && break
    sleep 0.1
done
[ -s "$dir/display" ] || { echo "Xvfb did not start"; cat "$dir/xvfb.log"; exit 1; }

# Every track MCI plays is appended, as raw samples, to capture.raw.
cat >"$dir/home/.asoundrc" <<ASOUND
pcm.!default {
    type file
    slave.pcm "null"
    file "| cat >> $dir/capture.raw"
    format "raw"
}
ASOUND
: >"$dir/capture.raw"

cat >"$dir/env" <<ENV
export DISPLAY=:$(head -n1 "$dir/display")
export WINEPREFIX=$dir/prefix
export HOME=$dir/home
export LC_ALL=ja_JP.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=\${WINEDEBUG:--all}
export WINE_SESSION_DIR=$dir
ENV
# shellcheck disable=SC1091
source "$dir/env"

mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >"$dir/wineserver.log" 2>&1
wine wineboot -i </dev/null >"$dir/wineboot.log" 2>&1
# No crash dialog on the virtual screen, and the dialog font of a Japanese system mapped
# to an installed Japanese font.
iconv -f UTF-8 -t UTF-16LE "$here/session.reg" | { printf '\xff\xfe'; cat; } >"$dir/session.reg"
wine regedit /S "$(winepath -w "$dir/session.reg")" </dev/null >>"$dir/wineboot.log" 2>&1
echo "Wine session ready on display $DISPLAY"
