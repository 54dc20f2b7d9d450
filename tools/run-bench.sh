#!/bin/bash
# The benchmark command: installs what is missing, configures and builds the saver, the demo
# accessory and the benchmark's programs, then runs the saver against a minimal Win32 saver
# under Wine on a virtual screen. Prints the table, writes bench/results.md and the README's
# copy of the table. Leaves no process behind.
#
#   tools/run-bench.sh [build dir, default build]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
case $build in /*) ;; *) build=$PWD/$build ;; esac
./tools/install-deps.sh
cmake --preset default -B "$build"
cmake --build "$build" -j2 --target velora_ss_launcher velorandix_demo minimal_saver bench_probe \
    playlist_bench
status=0
bench/run-bench.sh "$build" || status=$?
# bench/run-bench.sh ends its Wine session on every exit; this makes sure of it.
tests/wine/stop-session.sh "$build/bench-session" >/dev/null 2>&1 || true
exit $status
