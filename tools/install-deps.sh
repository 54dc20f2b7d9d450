#!/bin/bash
# Installs what building and testing need on a fresh Debian 12 machine (run as root). Quick
# when everything is already there.
set -euo pipefail

packages=(
    cmake ninja-build git python3 zip unzip
    g++-mingw-w64-i686-posix binutils-mingw-w64-i686
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 wine32:i386 xvfb xauth x11-apps imagemagick
    clang libclang-rt-14-dev libfuzzer-14-dev googletest
    locales fonts-ipafont-gothic fonts-wine
    # The two-monitor session: Xorg with the dummy driver, xrandr, and RandR for 32-bit Wine.
    xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils libxrandr2:i386
    # MP3 under Wine: its MPEG device decodes through GStreamer, in each architecture's own
    # build (the :i386 plugins for i686); lame encodes the tests' MP3 track.
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386 lame
)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    need_update=1
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
elif [ -n "${need_update:-}" ]; then
    apt-get update -q
fi

# Wine's ANSI code page follows the locale: ja_JP.UTF-8 gives code page 932. en_US.UTF-8 as
# the locale of messages alone gives a process an English user locale (code page 1252) over a
# Japanese system locale, as a Western user of a Japanese system has.
for wanted in ja_JP en_US; do
    if ! locale -a 2>/dev/null | grep -qi "^$wanted\.utf-\?8$"; then
        sed -i "s/^# *\($wanted.UTF-8 UTF-8\)/\1/" /etc/locale.gen
        grep -q "^$wanted.UTF-8 UTF-8" /etc/locale.gen || echo "$wanted.UTF-8 UTF-8" >>/etc/locale.gen
        generate=1
    fi
done
if [ -n "${generate:-}" ]; then
    locale-gen >/dev/null
fi
echo "Dependencies ready."
