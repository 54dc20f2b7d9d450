#!/bin/bash
# Takes docs/config-dialog.png: the settings dialog of the built saver as a user sees it, on a
# private virtual screen under Wine in a Japanese locale with sample settings (a playlist of
# 12 tracks, 2 of whose files are missing, played continuing), in the
# architecture this machine runs (tools/wine-session.sh arch). With --dpi, at that DPI (Wine's
# LogPixels) into docs/config-dialog-<dpi>dpi.png: 144 is the 150% of today's laptops. With
# --english, as a Western system with an English UI shows it (code page 1252, the system's
# English dialog font), into docs/config-dialog-english.png (-english-<dpi>dpi.png).
# Usage: tools/screenshot-dialog.sh [--dpi 96|120|144|192] [--english] [build directory, default build]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
dpi=96
english=
while [ $# -gt 0 ]; do
    case $1 in
    --dpi) dpi=${2:-}; shift 2 || true ;;
    --english) english=-english; shift ;;
    *) break ;;
    esac
done
case $dpi in
96) picture=docs/config-dialog$english.png ;;
120 | 144 | 192) picture=docs/config-dialog$english-${dpi}dpi.png ;;
*) echo "--dpi takes 96, 120, 144 or 192, not '$dpi'"; exit 2 ;;
esac
arch=$(tools/wine-session.sh arch)
build=$root/${1:-build}
session=$build/screenshot-session
saver=$build/$arch/velora_ss_launcher.scr
settings_writer=$build/$arch/tests/support/write_settings.exe
[ -f "$saver" ] && [ -f "$settings_writer" ] || { echo "build first: $saver, $settings_writer"; exit 1; }

tools/wine-session.sh start "$session" "$arch" >/dev/null
trap 'tools/wine-session.sh stop "$session"' EXIT
# shellcheck disable=SC1091
source "$session/env"
# No window manager runs on the virtual screen: Wine draws the title bar itself, with the
# close box from Wine's own Marlett font (Debian package fonts-wine).
"$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
else
    echo "warning: no Marlett font (install fonts-wine): the close box shows a letter"
fi

# The English dialog asks for the dialog font by its alias, MS Shell Dlg, which an English
# system maps to Tahoma; the session maps it to a Japanese font, as a Japanese system does.
locale=ja_JP.UTF-8
playlist='C:\Users\Public\Music\お気に入り.m3u'
if [ -n "$english" ]; then
    locale=C.UTF-8
    playlist='C:\Users\Public\Music\Favourites.m3u'
    "$WINE" reg delete 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS Shell Dlg' /f >/dev/null 2>&1
    cp /usr/share/wine/fonts/tahoma.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null ||
        echo "warning: no Tahoma font (install fonts-wine): the dialog shows another font"
fi

# Each process reads the DPI as it starts.
"$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1

# A copy of the saver with settings as a user might have them, written as the tests write them
# (the file is in code page 932), and the playlist they name: 12 tracks, the files of 2 of
# them missing, as after a file was renamed. The line under its path says so.
work=$session/shot
mkdir -p "$work"
cp "$saver" "$work/velora_ss_launcher.scr"
"$WINE" "$settings_writer" "$("$WINE" winepath -w "$work/velora_ss_launcher.scr" 2>/dev/null)" \
    bgcolor=6697728 'exepath=C:\Program Files\velorandix\velorandix.exe' \
    playlist="$playlist" playorder=1 volume=70 fadein=1
music=$("$WINE" winepath -u "${playlist%\\*}" 2>/dev/null)
mkdir -p "$music"
for track in $(seq -w 1 12); do
    printf 'Track %s.mp3\r\n' "$track"
    case $track in 05 | 11) ;; *) : >"$music/Track $track.mp3" ;; esac
done >"$("$WINE" winepath -u "$playlist" 2>/dev/null)"

LC_ALL=$locale "$WINE" "$work/velora_ss_launcher.scr" /c </dev/null >/dev/null 2>&1 &
saver=$!
window=
for _ in $(seq 300); do
    window=$(xwininfo -root -tree | grep -a 'velorandix' | grep -ao '0x[0-9a-f]*' | head -n1 || true)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "the dialog did not appear"; kill "$saver"; exit 1; }
sleep 2 # let it paint
mkdir -p "$root/docs"
xwd -id "$window" -silent | convert xwd:- "$root/$picture"
"$WINESERVER" -k
echo "wrote $picture"
