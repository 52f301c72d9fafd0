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
# The long recording test too.
SONVERA_LONG_TESTS=1 ctest --output-on-failure || status=1
# Again on PipeWire's pulse server, as most desktops of today run it: the whole program, and
# the parts that talk to the sound server (capture, device list, source volume, playback).
export SONVERA_SOUND_SERVER=pipewire
ctest -L 'e2e|engine|platform|audio' --output-on-failure || status=1
ctest -R PlayerSink --output-on-failure || status=1
exit $status
