#!/bin/bash
# The one Wine session of the tests, the demo, the benchmark and the dialog screenshot: a
# virtual screen, a fresh Wine prefix in a Japanese locale (code page 932), one persistent
# wineserver, and the sound captured to a file, for a Windows architecture this machine can
# run. The loader is called directly, never through Debian's `wine` wrapper: the wrapper
# prefers the 32-bit loader whenever wine32 is installed, and a kernel without 32-bit support
# refuses that with "Exec format error".
#
#   wine-session.sh arch                     the architecture to run one program on: i686 where
#                                            a 32-bit program starts, x86_64 elsewhere
#   wine-session.sh arches                   every architecture the tests run on: x86_64, and
#                                            i686 where a 32-bit program starts
#   wine-session.sh start DIR [ARCH] [--on-display | --two-monitors]
#                                            starts a session in DIR (created afresh) for ARCH
#                                            (default: the `arch` answer); --on-display uses
#                                            $DISPLAY and the sound card instead of a virtual
#                                            screen and a capture file; --two-monitors puts
#                                            the virtual screen on two monitors (below)
#   wine-session.sh run DIR PROGRAM [ARGS]   runs a Windows program in the session (the tests'
#                                            emulator); its exit code is the program's
#   wine-session.sh stop DIR                 ends every process of the session
#
# A session's DIR/env sets WINE (the loader to call), VELORA_ARCH, DISPLAY, WINEPREFIX, HOME
# and the rest, for scripts that source it. VELORA_WINE_ARCH=i686 or x86_64 overrides the
# choice: both `arch` and `arches` then answer just that architecture.
#
# Two monitors: Xvfb shows Wine one monitor whatever its screens, and Wine 8's desktop process
# crashes on Xorg's Xinerama layout of two screens. So the session runs Xorg (as root) with the
# dummy video driver, one screen of up to 2048x1024, and RandR makes it two outputs: the
# primary of 1024x768 and a secondary of 800x600 left of it, which Windows places at x -800.
set -euo pipefail

LOADER_I686=/usr/lib/wine/wine
LOADER_X86_64=/usr/lib/wine/wine64
here=$(cd "$(dirname "$0")" && pwd)

# A 32-bit program starts where the kernel runs 32-bit code and wine32 is installed; the
# 32-bit loader printing its version proves both.
runs_i686() { [ -x "$LOADER_I686" ] && "$LOADER_I686" --version >/dev/null 2>&1; }

forced_arch() {
    case ${VELORA_WINE_ARCH:-} in
    '') return 1 ;;
    i686 | x86_64) echo "$VELORA_WINE_ARCH" ;;
    *) echo "VELORA_WINE_ARCH must be i686 or x86_64, not '$VELORA_WINE_ARCH'" >&2; exit 2 ;;
    esac
}

choose_arch() {
    forced_arch && return
    if runs_i686; then echo i686; else echo x86_64; fi
}

choose_arches() {
    forced_arch && return
    if runs_i686; then echo "i686 x86_64"; else echo x86_64; fi
}

# The 64-bit wineserver serves 32-bit and 64-bit sessions alike; the 32-bit one only runs
# where 32-bit programs do.
wineserver_binary() {
    if [ -x /usr/lib/wine/wineserver64 ]; then echo /usr/lib/wine/wineserver64
    else echo /usr/lib/wine/wineserver32; fi
}

start_virtual_screen() {
    local dir=$1
    # Xvfb picks a free display and writes its number to fd 3. Nothing may keep the caller's
    # pipes open (ctest waits for them).
    setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -ac \
        3>"$dir/display" </dev/null >"$dir/xvfb.log" 2>&1 &
    echo $! >"$dir/xvfb.pid"
    for _ in $(seq 100); do
        [ -s "$dir/display" ] && break
        sleep 0.1
    done
    [ -s "$dir/display" ] || { echo "Xvfb did not start" >&2; cat "$dir/xvfb.log" >&2; exit 1; }
    echo ":$(head -n1 "$dir/display")"
}

# Xorg with the dummy driver on a free display, its configuration in the session, and two
# RandR outputs side by side. Whatever fails here fails the session loudly.
start_two_monitor_screen() {
    local dir=$1
    cat >"$dir/xorg.conf" <<XORG
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "DontVTSwitch" "true"
EndSection
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 16384
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0 - 1000.0
    VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 2048 1024
        Modes "1024x768"
    EndSubSection
EndSection
XORG
    command -v Xorg >/dev/null && command -v xrandr >/dev/null ||
        { echo "no Xorg or xrandr: run tools/install-deps.sh" >&2; exit 1; }
    setsid Xorg -config "$dir/xorg.conf" -logfile "$dir/xorg.log" \
        -displayfd 3 -nolisten tcp -ac -noreset -novtswitch -sharevts \
        3>"$dir/display" </dev/null >"$dir/xorg.out" 2>&1 &
    local pid=$!
    echo $pid >"$dir/xorg.pid"
    for _ in $(seq 150); do
        [ -s "$dir/display" ] && break
        kill -0 $pid 2>/dev/null || break
        sleep 0.1
    done
    if [ ! -s "$dir/display" ]; then
        echo "Xorg did not start" >&2
        tail -n 20 "$dir/xorg.out" "$dir/xorg.log" >&2
        stop "$dir"
        exit 1
    fi
    local display=:$(head -n1 "$dir/display")
    if ! {
        DISPLAY=$display xrandr --addmode DUMMY1 800x600 &&
            DISPLAY=$display xrandr --output DUMMY1 --mode 800x600 --left-of DUMMY0 &&
            DISPLAY=$display xrandr --listmonitors | grep -q '^Monitors: 2$'
    } >"$dir/xrandr.log" 2>&1; then
        echo "xrandr made no second monitor" >&2
        cat "$dir/xrandr.log" >&2
        stop "$dir"
        exit 1
    fi
    echo "$display"
}

# Every track MCI plays is appended, as raw samples, to capture.raw.
capture_sound() {
    local dir=$1
    cat >"$dir/home/.asoundrc" <<ASOUND
pcm.!default {
    type file
    slave.pcm "null"
    file "| cat >> $dir/capture.raw"
    format "raw"
}
ASOUND
    : >"$dir/capture.raw"
}

start() {
    local dir=$1 arch= screen=virtual
    shift
    for option in "$@"; do
        case $option in
        --on-display) screen=display ;;
        --two-monitors) screen=two ;;
        *) arch=$option ;;
        esac
    done
    [ -n "$arch" ] || arch=$(choose_arch)
    local loader winearch
    case $arch in
    i686) loader=$LOADER_I686 winearch=win32 ;;
    x86_64) loader=$LOADER_X86_64 winearch=win64 ;;
    *) echo "unknown architecture '$arch'"; exit 2 ;;
    esac
    [ -x "$loader" ] || { echo "no Wine loader $loader: run tools/install-deps.sh"; exit 1; }

    if [ -f "$dir/env" ]; then stop "$dir"; fi
    rm -rf "$dir"
    mkdir -p "$dir/home"
    local display home
    case $screen in
    display)
        [ -n "${DISPLAY:-}" ] || { echo "--on-display needs DISPLAY"; exit 1; }
        display=$DISPLAY
        home=$HOME
        ;;
    *)
        if [ $screen = two ]; then
            display=$(start_two_monitor_screen "$dir")
        else
            display=$(start_virtual_screen "$dir")
        fi
        capture_sound "$dir"
        home=$dir/home
        ;;
    esac

    cat >"$dir/env" <<ENV
export VELORA_ARCH=$arch
export WINE=$loader
export WINELOADER=$loader
export WINEARCH=$winearch
export WINESERVER=$(wineserver_binary)
export DISPLAY=$display
export WINEPREFIX=$dir/prefix
export HOME=$home
export LC_ALL=ja_JP.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=\${WINEDEBUG:--all}
export WINE_SESSION_DIR=$dir
ENV
    # shellcheck disable=SC1091
    source "$dir/env"
    mkdir -p "$WINEPREFIX"
    "$WINESERVER" -p </dev/null >"$dir/wineserver.log" 2>&1
    "$WINE" wineboot -i </dev/null >"$dir/wineboot.log" 2>&1
    # No crash dialog on the virtual screen, the dialog font of a Japanese system mapped to an
    # installed Japanese font, and saver98.scr seeing the Windows 95 family.
    iconv -f UTF-8 -t UTF-16LE "$here/wine-session.reg" | { printf '\xff\xfe'; cat; } \
        >"$dir/session.reg"
    "$WINE" regedit /S "$("$WINE" winepath -w "$dir/session.reg" 2>/dev/null)" \
        </dev/null >>"$dir/wineboot.log" 2>&1
    echo "Wine session ($arch) ready on display $DISPLAY"
}

run() {
    local dir=$1
    shift
    # shellcheck disable=SC1091
    source "$dir/env" 2>/dev/null || { echo "no Wine session in $dir"; exit 1; }
    exec "$WINE" "$@"
}

stop() {
    local dir=$1
    if [ -f "$dir/env" ]; then
        # shellcheck disable=SC1091
        (source "$dir/env" && "$WINESERVER" -k 2>/dev/null; "$WINESERVER" -w 2>/dev/null) || true
    fi
    if [ -f "$dir/xvfb.pid" ]; then
        kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
        rm -f "$dir/xvfb.pid"
    fi
    # Xorg gives its display back only once it has gone.
    if [ -f "$dir/xorg.pid" ]; then
        local pid
        pid=$(cat "$dir/xorg.pid")
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$pid" 2>/dev/null || true
        rm -f "$dir/xorg.pid"
    fi
    return 0
}

command=${1:-}
[ $# -gt 0 ] && shift
case $command in
arch) choose_arch ;;
arches) choose_arches ;;
start) start "$@" ;;
run) run "$@" ;;
stop) stop "$@" ;;
*) sed -n '9,30p' "$0" | sed 's/^# \{0,1\}//'; exit 2 ;;
esac
