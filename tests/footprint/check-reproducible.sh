#!/bin/bash
# Builds the release package a second time, in another build tree, and compares the bytes
# with the first: no timestamps or build paths may reach the .scr or the zip.
set -eu
source_dir=$1
first_zip=$2
second=$3
rm -rf "$second"
cmake -S "$source_dir" -B "$second" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel >"$second.log" 2>&1
cmake --build "$second" --target release >>"$second.log" 2>&1 || { cat "$second.log"; exit 1; }
second_zip="$second/$(basename "$first_zip")"
cmp "$first_zip" "$second_zip"
cmp "$(dirname "$first_zip")/stripped/velora_ss_launcher.scr" "$second/stripped/velora_ss_launcher.scr"
unzip -l "$first_zip"
echo "two builds gave the same $(stat -c %s "$first_zip") bytes"
rm -rf "$second" "$second.log"
