#!/usr/bin/env bash
# Installs what the tests need, builds everything from scratch and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh test
rm -rf build-test
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-test -j"$(nproc)"
cd build-test
status=0
# The long recording test too. Two at a time: each test has its own files and display, and those
# that change the shared sound server run alone.
SONVERA_LONG_TESTS=1 ctest -j2 --output-on-failure || status=1
# The whole program again on PipeWire's pulse server, as most desktops of today run it (the long
# recording only on the first).
SONVERA_SOUND_SERVER=pipewire ctest -j2 -L e2e --output-on-failure || status=1
exit $status
