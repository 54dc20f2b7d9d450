#!/bin/bash
# The benchmark command: builds the saver, the demo accessory and the benchmark's programs for
# the architecture this machine runs (tools/wine-session.sh arch), then runs the saver against a
# minimal Win32 saver under Wine on a virtual screen, alternating minimal and saver runs, then
# the playlist micro-benchmark, then the change of track, against the last build that waited
# for the music tick, then the settings dialog's time to open with a playlist of 2048 tracks
# and without one. The saver runs with music in both play orders that differ at the key
# press: from the first track (0, which keeps nothing) and continuing (1, which keeps its place
# in the settings file on the way out), and at volume 50 with the gentle start (which puts the
# audio session's level back on the way out). Prints the table, writes bench/results.md and
# the README's copy of the table. Leaves no process behind.
#
#   tools/run-bench.sh [build dir, default build]   (BENCH_ROUNDS=n: n rounds of six runs, 5)
#   BENCH_ONLY=tracks tools/run-bench.sh [build dir]   the change of track alone: rewrites only
#                                                      its section of bench/results.md
#   BENCH_ONLY=dialog tools/run-bench.sh [build dir]   the settings dialog alone: rewrites only
#                                                      its rows of both tables and its section
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
case $build in /*) ;; *) build=$PWD/$build ;; esac
rounds=${BENCH_ROUNDS:-5}
only=${BENCH_ONLY:-}
case $only in '' | tracks | dialog) ;; *) echo "BENCH_ONLY must be empty, tracks or dialog"; exit 2 ;; esac
# The last build whose next track waited for the music tick: the change of track's baseline.
BASELINE_COMMIT=c290f5f
had_locale=$(locale -a 2>/dev/null | grep -ci '^ja_JP\.utf-\?8$' || true)
./tools/install-deps.sh
# As in run-demo.sh: a fresh shell once install-deps.sh has just made the Japanese locale.
[ "$had_locale" != 0 ] || [ -n "${VELORA_FRESH_SHELL:-}" ] ||
    VELORA_FRESH_SHELL=1 exec "$PWD/tools/run-bench.sh" "$@"
cmake --preset default -B "$build" >/dev/null
arch=$(tools/wine-session.sh arch)
cmake --build "$build/$arch" -j2 --target velora_ss_launcher velorandix_demo minimal_saver \
    bench_probe playlist_bench write_tone write_settings
echo "Benchmarking the $arch build"

# The minimal saver paints RGB(0x20, 0x60, 0xA0) (kFillColor in minimal_saver.cpp); the saver
# is given the same colour, and the probe waits for it.
FILL_COLOR=$((0xA06020))
SETTLE_MS=2500     # after the first paint: the accessory is up, the first music tick is past
MEASURE_MS=10000   # the stretch of full-screen running whose CPU time is measured

session=$build/bench-session
work=$build/bench-run
results=$work/results
arch_build=$build/$arch

stop_session() { tools/wine-session.sh stop "$session" >/dev/null 2>&1 || true; }
trap stop_session EXIT
trap 'exit 130' INT TERM

echo "Load before the run: $(cut -d' ' -f1-3 /proc/loadavg)"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
commit=$(git describe --always --dirty 2>/dev/null || echo unknown)
started=$(date -u '+%Y-%m-%d %H:%M UTC')
tools/wine-session.sh start "$session" "$arch" >/dev/null
# shellcheck disable=SC1091
source "$session/env"
# With no window manager on the virtual screen, Wine's X11 driver waits 2 s in DestroyWindow
# for a manager to withdraw each full-screen or framed window, which would put a fixed 2 s
# into every key-to-exit figure (twice into the saver's, which waits for the accessory's
# window through SendMessageA). Unmanaged windows skip that wait, as Windows has none.
"$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# The session's sound sink takes samples as fast as they come, four times real time and more,
# which would multiply what the music costs: pace plays them at the tones' rate (44.1 kHz,
# 16-bit stereo) until the probe marks the key press.
clang -O2 -o "$arch_build/bench/pace" bench/pace.c
key_flag=$session/key-pressed
sed -i "s#file \"| cat >> \(.*\)\"#file \"| $arch_build/bench/pace 176400 \\1 $key_flag\"#" \
    "$HOME/.asoundrc"
grep -q "bench/pace" "$HOME/.asoundrc" || { echo "cannot pace the session's sound sink"; exit 1; }
BENCH_KEY_FLAG=$("$WINE" winepath -w "$key_flag" 2>/dev/null)
export BENCH_KEY_FLAG

win() { "$WINE" winepath -w "$1" 2>/dev/null; }

# The scene: a copy of the saver with its own settings file, the demo accessory in a folder of
# its own, a playlist of two 20-second tones at CD quality (44.1 kHz, 16-bit stereo: a real
# album's load) from the tests' tone generator, and the minimal saver.
rm -rf "$work"
mkdir -p "$work/saver" "$work/accessory" "$work/music" "$results"
cp "$arch_build/velora_ss_launcher.scr" "$work/saver/"
cp "$arch_build/bench/minimal_saver.exe" "$work/saver/"
cp "$arch_build/demo/velorandix.exe" "$work/accessory/"
for tone in tone-a.wav:440 tone-b.wav:330; do
    "$WINE" "$arch_build/media/write_tone.exe" "$(win "$work/music/${tone%%:*}")" \
        "${tone#*:}" 20 44100 2 6000 0
done
printf 'tone-a.wav\r\ntone-b.wav\r\n' >"$work/music/bench.m3u"

saver_win=$(win "$work/saver/velora_ss_launcher.scr")
minimal_win=$(win "$work/saver/minimal_saver.exe")
accessory_win=$(win "$work/accessory/velorandix.exe")
playlist_win=$(win "$work/music/bench.m3u")
probe="$arch_build/bench/bench_probe.exe"

# Settings files are written as the tests write them, with the product's keys by name.
settings_writer=$arch_build/tests/support/write_settings.exe
settings_file=$work/saver/velora_ss_launcher.ini
write_settings() { # playlist path (empty for none), then more keys as key=value
    local playlist=$1
    shift
    "$WINE" "$settings_writer" "$saver_win" bgcolor="$FILL_COLOR" exepath="$accessory_win" \
        playlist="$playlist" "$@"
}

run() { # kind, measure ms
    local kind=$1 measure=$2 out=$results/$(printf '%02d' "$run_number")-$1.txt
    run_number=$((run_number + 1))
    : >"$session/capture.raw"
    rm -f "$key_flag"
    case $kind in
    minimal)
        "$WINE" "$probe" run "$FILL_COLOR" "$SETTLE_MS" "$measure" - "$minimal_win" /s >"$out" ;;
    music)
        write_settings "$playlist_win"
        "$WINE" "$probe" run "$FILL_COLOR" "$SETTLE_MS" "$measure" velorandix.exe "$saver_win" /s \
            >"$out" ;;
    quiet)
        write_settings ""
        "$WINE" "$probe" run "$FILL_COLOR" "$SETTLE_MS" "$measure" velorandix.exe "$saver_win" /s \
            >"$out" ;;
    resume)
        # The place the last run of this kind kept (its section comes last) stays, so that
        # this run starts by resuming it, as a user's would.
        local place
        place=$(sed -n '/^\[lastplay\]/,$p' "$settings_file" 2>/dev/null || true)
        write_settings "$playlist_win" playorder=1
        if [ -n "$place" ]; then printf '%s\n' "$place" >>"$settings_file"; fi
        "$WINE" "$probe" run "$FILL_COLOR" "$SETTLE_MS" "$measure" velorandix.exe "$saver_win" /s \
            >"$out"
        # Kept on the way out: a track and a position in milliseconds.
        grep -qa '^lastposition=[0-9]' "$settings_file" && echo "place_kept 1" >>"$out" ||
            echo "place_kept 0" >>"$out" ;;
    fade)
        # The rise is over long before the key: what the key press meets is the level put back.
        write_settings "$playlist_win" volume=50 fadein=1
        "$WINE" "$probe" run "$FILL_COLOR" "$SETTLE_MS" "$measure" velorandix.exe "$saver_win" /s \
            >"$out" ;;
    esac
    awk -v kind="$kind" '{ figure[$1] = $2 }
        END { printf "  %-8s start %6.0f ms  cpu %5.0f ms  exit %6.0f ms\n", kind,
              figure["start_ms"], figure["linux_cpu_ms"], figure["exit_ms"] }' "$out"
}

# The change of track: a saver plays 24 tones of 0.4 s at CD quality, paced in real time, for
# TRACK_MS under an MCI trace with timestamps (Wine writes it to the saver's standard error,
# which the probe passes on); bench.py reads each track's open, its play command and the
# device's notice of its end from it. No accessory: exepath names the saver itself.
TRACK_MS=26000
track_change() { # kind (now or before), saver's Windows path
    local scene=$work/tracks-$1
    mkdir -p "$scene"
    cp "$work/music/tone-c.wav" "$work/music/tone-d.wav" "$scene/"
    for _ in $(seq 12); do printf 'tone-c.wav\r\ntone-d.wav\r\n'; done >"$scene/tracks.m3u"
    "$WINE" "$settings_writer" "$2" bgcolor="$FILL_COLOR" exepath="$2" \
        playlist="$(win "$scene/tracks.m3u")"
    : >"$session/capture.raw"
    rm -f "$key_flag"
    WINEDEBUG=+timestamp,+mci "$WINE" "$probe" run "$FILL_COLOR" 1000 "$TRACK_MS" - "$2" /s \
        >"$results/tracks-$1.txt" 2>"$results/tracks-$1.trace"
    echo "  $1: $(grep -c 'mciSendStringW (L"open' "$results/tracks-$1.trace") tracks opened"
}

# The baseline, built once from its commit's sources into the build tree.
baseline=$build/bench-baseline
build_baseline() {
    if [ ! -f "$baseline/build/velora_ss_launcher.scr" ]; then
        echo "Building the baseline $BASELINE_COMMIT"
        rm -rf "$baseline"
        mkdir -p "$baseline/src"
        git archive "$BASELINE_COMMIT" | tar -x -C "$baseline/src"
        cmake -S "$baseline/src" -B "$baseline/build" -G Ninja \
            -DCMAKE_TOOLCHAIN_FILE="$baseline/src/cmake/mingw-$arch.cmake" \
            -DCMAKE_BUILD_TYPE=MinSizeRel -DWINE_TESTS=OFF >/dev/null
        cmake --build "$baseline/build" --target velora_ss_launcher >/dev/null
    fi
    mkdir -p "$work/baseline"
    cp "$baseline/build/velora_ss_launcher.scr" "$work/baseline/"
}

for tone in tone-c.wav:523 tone-d.wav:659; do
    "$WINE" "$arch_build/media/write_tone.exe" "$(win "$work/music/${tone%%:*}")" \
        "${tone#*:}" 0.4 44100 2 6000 0
done

# The settings dialog, start to shown, with no playlist and with one of 2048 tracks, each an
# empty file of its own (the line under the playlist's path only asks whether each is there),
# alternately, after one unmeasured run of each. The playlist micro-benchmark times the line
# alone.
DIALOG_RUNS=10
dialog_runs() {
    local scene=$work/dialog list number=0 kind
    mkdir -p "$scene/tracks"
    for i in $(seq -w 0 2047); do
        : >"$scene/tracks/track$i.wav"
        printf 'tracks\\track%s.wav\r\n' "$i"
    done >"$scene/list.m3u"
    list=$(win "$scene/list.m3u")
    for run in $(seq 0 "$DIALOG_RUNS"); do
        for kind in none 2048; do
            if [ "$kind" = none ]; then write_settings ""; else write_settings "$list"; fi
            "$WINE" "$probe" dialog "$saver_win" /c >"$results/dialog-$(printf '%02d' "$number")-$kind.txt"
            [ "$run" -gt 0 ] || rm "$results/dialog-$(printf '%02d' "$number")-$kind.txt"
            number=$((number + 1))
        done
    done
    echo "  $(cat "$results"/dialog-*-2048.txt | awk '$1 == "dialog_ms" { printf "%.0f ", $2 }')ms with 2048 tracks"
    echo "  $(cat "$results"/dialog-*-none.txt | awk '$1 == "dialog_ms" { printf "%.0f ", $2 }')ms without"
}

if [ "$only" = dialog ]; then
    echo "Settings dialog"
    dialog_runs
    "$WINE" "$arch_build/bench/playlist_bench.exe" 25 >"$results/playlist.txt"
    python3 tools/bench.py dialog "$results" bench/results.md README.md --arch "$arch" \
        --commit "$commit" --date "$started" --load-before "$load_before" \
        --load-after "$(cut -d' ' -f1-3 /proc/loadavg)"
    exit 0
fi

if [ "$only" = tracks ]; then
    build_baseline
    echo "Change of track"
    track_change now "$saver_win"
    track_change before "$(win "$work/baseline/velora_ss_launcher.scr")"
    python3 tools/bench.py tracks "$results" bench/results.md --arch "$arch" \
        --commit "$commit" --date "$started" --baseline "$BASELINE_COMMIT" --track-ms "$TRACK_MS"
    exit 0
fi

# A warm-up of each program fills Wine's caches (fonts, the desktop process, the sound
# driver); it is not counted.
run_number=0
echo "Warm-up"
run minimal 1000
run music 1000
rm -f "$results"/*

# A B A C, with the continuing saver right after the one that starts from the first track and
# the one at volume 50 fading in after that: every saver run has a minimal run, or a saver run
# with music, just before it, under the same load.
for round in $(seq "$rounds"); do
    echo "Round $round of $rounds"
    run minimal "$MEASURE_MS"
    run music "$MEASURE_MS"
    run resume "$MEASURE_MS"
    run fade "$MEASURE_MS"
    run minimal "$MEASURE_MS"
    run quiet "$MEASURE_MS"
done

echo "Playlist micro-benchmark"
"$WINE" "$arch_build/bench/playlist_bench.exe" 25 >"$results/playlist.txt"

echo "Settings dialog"
dialog_runs

build_baseline
echo "Change of track"
track_change now "$saver_win"
track_change before "$(win "$work/baseline/velora_ss_launcher.scr")"

load_after=$(cut -d' ' -f1-3 /proc/loadavg)
echo "Load after the run: $load_after"
python3 tools/bench.py summarize "$results" bench/results.md README.md --arch "$arch" \
    --load-before "$load_before" --load-after "$load_after" --rounds "$rounds" \
    --measure-ms "$MEASURE_MS" --commit "$commit" --date "$started" \
    --baseline "$BASELINE_COMMIT" --track-ms "$TRACK_MS"
