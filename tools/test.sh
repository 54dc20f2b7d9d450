#!/bin/bash
# The test command: installs what is missing, configures and builds both architectures, and
# runs every tier through one ctest: native, and the Windows and end-to-end tiers under Wine on
# every architecture this machine runs (tools/wine-session.sh arches; VELORA_WINE_ARCH=i686 or
# x86_64 forces one).
set -euo pipefail
cd "$(dirname "$0")/.."
./tools/install-deps.sh
cmake --preset default
cmake --build --preset default -j2
status=0
ctest --preset default -j2 || status=$?
# Nothing may outlive the run: each session's wine.stop test ends it, this makes sure of it.
for session in build/*/wine-session; do
    [ -d "$session" ] && tools/wine-session.sh stop "$session" >/dev/null 2>&1
done
exit $status
