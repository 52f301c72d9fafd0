#!/usr/bin/env bash
# Two or more builds of the program monitoring the same source at the same time, beside
# `parec`: the CPU time per wall second of each, as percent of one core, over several rounds.
# This machine's load moves every figure from one run to the next; programs measured in the
# same run can be compared. Run it again with the builds in the other order, since the first
# started often costs a little more.
#   tools/measure-side-by-side.sh SECONDS ROUNDS BUILD_DIR BUILD_DIR...
set -euo pipefail
seconds=$1
rounds=$2
shift 2
builds=()
for dir in "$@"; do builds+=("$(realpath "$dir")"); done
# The test server's signal comes from a build that has the tests built.
build=""
for dir in "${builds[@]}"; do [ -x "$dir/tests/signal_feeder" ] && build=$dir && break; done
[ -n "$build" ] || { echo "none of the builds has tests/signal_feeder" >&2; exit 1; }
source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d /tmp/sonvera-side-by-side.XXXXXX)

source "$source_dir/tools/lib/virtual-desktop.sh"
source "$source_dir/tools/lib/cpu-time.sh"
start_virtual_desktop
processes=()
cleanup() {
    for process in "${processes[@]}"; do kill "$process" 2>/dev/null || true; done
    stop_virtual_desktop
}
trap cleanup EXIT

for i in "${!builds[@]}"; do
    app="$work/app$i"
    mkdir -p "$app/recordings"
    cp "${builds[$i]}/Sonvera" "$app/Sonvera"
    printf '[Folder]\nName=%s\n[Record Settings]\nWav=1\nMP3=0\n' "$app/recordings" >"$app/Sonvera.ini"
    "$app/Sonvera" &
    processes+=($!)
    until xdotool search --pid "$!" --onlyvisible --name '^Sonvera$' >/dev/null 2>&1; do sleep 0.05; done
done
parec -d sonvera_signal_44100 --latency-msec=20 >/dev/null &
processes+=($!)
sleep 2

printf '%-6s' round
for dir in "${builds[@]}"; do printf ' %16s' "$(basename "$dir")"; done
printf ' %16s\n' parec
for round in $(seq "$rounds"); do
    before=()
    for process in "${processes[@]}"; do before+=("$(cpu_ns "$process")"); done
    sleep "$seconds"
    printf '%-6s' "$round"
    for i in "${!processes[@]}"; do
        printf ' %16s' "$(percent $(($(cpu_ns "${processes[$i]}") - before[i])) "$seconds")"
    done
    echo
done
