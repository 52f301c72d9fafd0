#!/usr/bin/env bash
# The window thread's longest stall during a WAV recording on a loaded machine: the test sound
# server carries the known signal, one busy loop keeps a core busy and dd keeps writing to the
# disk the recording goes to, while bench_capture_stall records for SECONDS (default 60).
#   tools/measure-capture-stall.sh BUILD_DIR [SECONDS] [PROGRAM] [DISK_STALL_SECONDS]
set -euo pipefail

build=$(realpath "$1")
seconds=${2:-60}
program=${3:-$build/bench/bench_capture_stall}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d "$build/stall.XXXXXX")
pids=()

cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    "$root/tests/support/pulse-server.sh" stop "$work/pulse" || true
    rm -rf "$work"
}
trap cleanup EXIT

"$root/tests/support/pulse-server.sh" start "$work/pulse" "$build/tests/signal_feeder" >/dev/null
# shellcheck disable=SC1091
source "$work/pulse/env"
mkdir -p "$work/out"

bash -c 'while :; do :; done' &
pids+=($!)
# Large writes to the same disk, each flushed, and a flush of everything every 100 ms, so
# writes to the disk keep waiting on the page cache and the journal.
bash -c "while :; do dd if=/dev/zero of='$work/out/dd.bin' bs=1M count=1024 conv=fdatasync status=none; rm -f '$work/out/dd.bin'; done" &
pids+=($!)
bash -c 'while :; do sync; sleep 0.1; done' &
pids+=($!)

"$program" "$work/out" "$seconds" ${4:-}
