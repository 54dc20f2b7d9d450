#!/bin/bash
# The README's main command: builds the saver and the demo accessory, writes a demo playlist of
# generated tones and a settings file beside a copy of the saver, and runs the saver full screen
# under Wine: on $DISPLAY when there is one (you end it with a key or the mouse), otherwise on
# a virtual screen of its own where a small helper presses a key after a few seconds. Then it
# reports what happened and leaves no process behind.
#
#   tools/run-demo.sh          full screen on $DISPLAY, or headless without one
#   tools/run-demo.sh --auto   on $DISPLAY too, press a key after a few seconds
#
# VELORA_BUILD_DIR picks another build directory than build/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${VELORA_BUILD_DIR:-build}
auto=0
[ "${1:-}" = "--auto" ] && auto=1
seconds_before_key=6

./tools/install-deps.sh
cmake --preset default -B "$build" >/dev/null
cmake --build "$build" -j2 --target velora_ss_launcher velorandix_demo velora_demo_user

demo=$root/$build/demo-run
mkdir -p "$demo/home"
rm -f "$demo/screenshot.png"
cp "$build/velora_ss_launcher.scr" "$demo/velora_ss_launcher.scr"
accessory=$root/$build/demo/velorandix.exe
helper=$root/$build/demo/velora_demo_user.exe

# Two short tones, generated here: no audio is kept in the repository.
python3 - "$demo" <<'PYTHON'
import math, struct, sys, wave
folder = sys.argv[1]
rate = 22050
for name, frequency in (("tone1.wav", 523.25), ("tone2.wav", 659.25)):
    frames = bytearray()
    count = int(rate * 1.2)
    for i in range(count):
        fade = min(1.0, i / 1500, (count - i) / 1500)
        value = int(9000 * fade * math.sin(2 * math.pi * frequency * i / rate))
        frames += struct.pack("<h", value)
    with wave.open(f"{folder}/{name}", "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(rate)
        out.writeframes(bytes(frames))
PYTHON
printf '#EXTM3U\r\ntone1.wav\r\ntone2.wav\r\n' >"$demo/demo.m3u"

# The Wine side: a prefix of the demo's own, in a Japanese locale (code page 932).
export WINEPREFIX=$demo/prefix
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=ja_JP.UTF-8
winpath() { echo "Z:${1//\//\\}"; }

# Settings beside the saver: a night-blue background, the demo accessory, the playlist.
color=$((80 * 65536 + 40 * 256 + 20)) # RGB(20, 40, 80) as 0x00BBGGRR
printf '[setting]\r\nbgcolor=%s\r\nexepath=%s\r\nplaylist=%s\r\n' "$color" \
    "$(winpath "$accessory")" "$(winpath "$demo/demo.m3u")" >"$demo/velora_ss_launcher.ini"

xvfb_pid=
cleanup() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

headless=0
capture=
if [ -z "${DISPLAY:-}" ]; then
    headless=1
    auto=1
    # A virtual screen, and the sound written to a file instead of a sound card.
    rm -f "$demo/display"
    setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -ac \
        3>"$demo/display" </dev/null >"$demo/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$demo/display" ] && break
        sleep 0.1
    done
    [ -s "$demo/display" ] || { echo "Xvfb did not start"; exit 1; }
    export DISPLAY=:$(head -n1 "$demo/display")
    capture=$demo/capture.raw
    : >"$capture"
    cat >"$demo/home/.asoundrc" <<ASOUND
pcm.!default {
    type file
    slave.pcm "null"
    file "| cat >> $capture"
    format "raw"
}
ASOUND
    export HOME=$demo/home
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Preparing a Wine prefix for the demo (once; this takes a minute)..."
    wineboot -i >"$demo/wineboot.log" 2>&1 || true
fi
wineserver -p 10 </dev/null >/dev/null 2>&1 || true

echo "Starting the saver full screen on display $DISPLAY."
if [ $auto = 1 ]; then
    echo "A key will be pressed after $seconds_before_key seconds."
else
    echo "Press a key, click or move the mouse to end it."
fi
output=$demo/debug-output.txt
started=$(date +%s)
WINEDEBUG=-all,+debugstr wine "$demo/velora_ss_launcher.scr" /s >/dev/null 2>"$output" &
saver_pid=$!

if [ $auto = 1 ]; then
    sleep "$seconds_before_key"
    if [ $headless = 1 ] && command -v xwd >/dev/null && command -v convert >/dev/null; then
        xwd -root -silent | convert xwd:- "$demo/screenshot.png" 2>/dev/null || true
    fi
    wine "$helper" 0 >/dev/null 2>&1 || echo "The helper could not press a key."
fi

# The saver ends by itself once dismissed; a run that does not end within a bound is a failure.
limit=$((auto == 1 ? 60 : 3600))
exit_code=
for _ in $(seq $((limit * 10))); do
    if ! kill -0 "$saver_pid" 2>/dev/null; then
        wait "$saver_pid" && exit_code=0 || exit_code=$?
        break
    fi
    sleep 0.1
done
ran=$(($(date +%s) - started))
sleep 1 # the accessory takes its command and ends

has() { grep -aqF "$1" "$output"; }
yes_no() { if has "$1"; then echo yes; else echo no; fi; }
echo
echo "What happened (${ran} s):"
echo "  saver window created:        $(yes_no '"WM_CREATE\n"')"
echo "  accessory started:           $(yes_no 'velorandix demo: started')"
echo "  accessory told to quit:      $(yes_no 'IDM_EXIT\x82\xf0')"
echo "  accessory quit:              $(yes_no 'velorandix demo: IDM_EXIT received')"
echo "  saver window closed:         $(yes_no '"WM_DESTROY\n"')"
if [ -n "$capture" ]; then
    bytes=$(stat -c %s "$capture")
    echo "  music captured:              $bytes bytes ($(awk "BEGIN {printf \"%.1f\", $bytes / 44100}") s of 22.05 kHz mono)"
else
    echo "  music:                       played on your sound device"
fi
if [ -z "$exit_code" ]; then
    echo "  exit code:                   none: the saver did not end within $limit s and was stopped"
    kill "$saver_pid" 2>/dev/null || true
    exit 1
fi
echo "  exit code:                   $exit_code"
[ -f "$demo/screenshot.png" ] && echo "  screenshot before the key:   $demo/screenshot.png"
echo "  debugger output:             $output"
[ "$exit_code" = 0 ] && has 'IDM_EXIT\x82\xf0' && has 'velorandix demo: IDM_EXIT received'
