#!/bin/bash
# Emulator for the Windows test executables: runs one under the shared Wine session.
dir=$1
shift
# shellcheck disable=SC1091
source "$dir/env" || { echo "no Wine session in $dir (run the wine.start test first)"; exit 1; }
exec wine "$@"
