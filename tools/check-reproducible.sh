#!/bin/bash
# Builds the release package a second time, in other build trees, and compares the bytes with
# the first: no timestamps or build paths may reach either .scr or the zip.
#
#   check-reproducible.sh SOURCE_DIR FIRST_ZIP SCRATCH_DIR
set -eu
source_dir=$1
first_zip=$2
second=$3
first=$(dirname "$first_zip")
rm -rf "$second"
mkdir -p "$second"
for arch in i686 x86_64; do
    cmake -S "$source_dir" -B "$second/$arch" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=MinSizeRel -DWINE_TESTS=OFF >>"$second/build.log" 2>&1
    cmake --build "$second/$arch" --target velora_ss_launcher >>"$second/build.log" 2>&1 ||
        { cat "$second/build.log"; exit 1; }
    cmp "$first/$arch/stripped/velora_ss_launcher.scr" "$second/$arch/stripped/velora_ss_launcher.scr"
done
second_zip="$second/$(basename "$first_zip")"
python3 "$source_dir/tools/make-release.py" "$second_zip" \
    "$second/i686/stripped/velora_ss_launcher.scr" "$second/x86_64/stripped/velora_ss_launcher.scr" \
    "$source_dir/packaging/README.txt" "$source_dir/LICENSE"
cmp "$first_zip" "$second_zip"
unzip -l "$first_zip"
echo "two builds gave the same $(stat -c %s "$first_zip") bytes"
rm -rf "$second"
