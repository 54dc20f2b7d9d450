#!/bin/bash
# The README's main command: builds the saver and the demo accessory, writes a demo playlist of
# generated tones and a settings file beside a copy of the saver, and runs the saver full screen
# under Wine: on $DISPLAY when there is one (you end it with a key or the mouse), otherwise on
# a virtual screen of its own where a small helper presses a key after a few seconds. Then it
# reports what happened and leaves no process behind.
#
#   tools/run-demo.sh                 full screen on $DISPLAY, or headless without one
#   tools/run-demo.sh --auto          on $DISPLAY too, press a key after a few seconds
#   tools/run-demo.sh --two-monitors  headless over two monitors, the second left of the
#                                     first (Xorg's dummy driver, as root), a key pressed
#
# VELORA_BUILD_DIR picks another build directory than build/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${VELORA_BUILD_DIR:-build}
auto=0
two_monitors=0
for option in "$@"; do
    case $option in
    --auto) auto=1 ;;
    --two-monitors) two_monitors=1 ;;
    *) echo "unknown option '$option'"; exit 2 ;;
    esac
done
seconds_before_key=6

had_locale=$(locale -a 2>/dev/null | grep -ci '^ja_JP\.utf-\?8$' || true)
./tools/install-deps.sh
# A shell sees only the locales there were when it started: the session's environment, which
# names ja_JP.UTF-8, is read in a fresh one when install-deps.sh has just made that locale
# (once: were the locale still missing, the fresh shell would go on, warning as before).
[ "$had_locale" != 0 ] || [ -n "${VELORA_FRESH_SHELL:-}" ] ||
    VELORA_FRESH_SHELL=1 exec "$root/tools/run-demo.sh" "$@"
cmake --preset default -B "$build" >/dev/null
arch=$(tools/wine-session.sh arch)
cmake --build "$build/$arch" -j2 --target velora_ss_launcher velorandix_demo velora_demo_user \
    write_tone write_settings

demo=$root/$build/demo-run
session=$demo/session
rm -rf "$demo"
mkdir -p "$demo"
cp "$build/$arch/velora_ss_launcher.scr" "$demo/velora_ss_launcher.scr"
accessory=$root/$build/$arch/demo/velorandix.exe
helper=$root/$build/$arch/demo/velora_demo_user.exe
tone_writer=$root/$build/$arch/media/write_tone.exe
settings_writer=$root/$build/$arch/tests/support/write_settings.exe
winpath() { echo "Z:${1//\//\\}"; }
printf '#EXTM3U\r\ntone1.wav\r\ntone2.wav\r\n' >"$demo/demo.m3u"

# The Wine session: on $DISPLAY with the sound card when there is a display, otherwise on a
# virtual screen of its own with the sound written to a file.
trap 'tools/wine-session.sh stop "$session"' EXIT
headless=0
capture=
if [ $two_monitors = 1 ]; then
    headless=1
    auto=1
    echo "Preparing a Wine session on two virtual monitors ($arch)..."
    tools/wine-session.sh start "$session" "$arch" --two-monitors >/dev/null
    capture=$session/capture.raw
elif [ -n "${DISPLAY:-}" ]; then
    echo "Preparing a Wine session on $DISPLAY ($arch)..."
    tools/wine-session.sh start "$session" "$arch" --on-display >/dev/null
else
    headless=1
    auto=1
    echo "Preparing a Wine session on a virtual screen ($arch)..."
    tools/wine-session.sh start "$session" "$arch" >/dev/null
    capture=$session/capture.raw
fi
# shellcheck disable=SC1091
source "$session/env"

# The playlist's two short tones (1.2 s, 22.05 kHz mono, faded in and out over 1500 samples),
# from the tests' tone generator: no audio is kept in the repository.
for tone in tone1.wav:523.25 tone2.wav:659.25; do
    "$WINE" "$tone_writer" "$(winpath "$demo/${tone%%:*}")" "${tone#*:}" 1.2 22050 1 9000 1500
done

# Settings beside the saver, written as the tests write them: a night-blue background, the
# demo accessory, the playlist.
color=$((80 * 65536 + 40 * 256 + 20)) # RGB(20, 40, 80) as 0x00BBGGRR
"$WINE" "$settings_writer" "$(winpath "$demo/velora_ss_launcher.scr")" bgcolor="$color" \
    exepath="$(winpath "$accessory")" playlist="$(winpath "$demo/demo.m3u")"

echo "Starting the saver full screen on display $DISPLAY."
if [ $auto = 1 ]; then
    echo "A key will be pressed after $seconds_before_key seconds."
else
    echo "Press a key, click or move the mouse to end it."
fi
output=$demo/debug-output.txt
started=$(date +%s)
WINEDEBUG=-all,+debugstr "$WINE" "$demo/velora_ss_launcher.scr" /s >/dev/null 2>"$output" &
saver_pid=$!

if [ $auto = 1 ]; then
    sleep "$seconds_before_key"
    if [ $headless = 1 ] && command -v xwd >/dev/null && command -v convert >/dev/null; then
        xwd -root -silent | convert xwd:- "$demo/screenshot.png" 2>/dev/null || true
    fi
    "$WINE" "$helper" 0 >/dev/null 2>&1 || echo "The helper could not press a key."
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
echo "What happened (${ran} s, the $arch saver):"
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
