#!/bin/bash
# The test command: installs what is missing, configures, builds and runs every tier (native,
# Windows under Wine, end-to-end) through ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
./tools/install-deps.sh
cmake --preset default
cmake --build --preset default -j2
status=0
ctest --preset default -j2 || status=$?
# Nothing may outlive the run: the wine.stop test ends the session, this makes sure of it.
tests/wine/stop-session.sh build/wine-session >/dev/null 2>&1 || true
exit $status
