#!/usr/bin/env bash
# Installs what Sonvera needs, builds it and starts it.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DSONVERA_TESTS=OFF -DSONVERA_BENCH=OFF
cmake --build build -j"$(nproc)"
exec build/Sonvera
