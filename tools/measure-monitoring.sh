#!/usr/bin/env bash
# The program monitoring its input beside `parec` reading the same source, in the same run:
# CPU time per wall second of each, as percent of one core, over several rounds. With PLAY=1
# the program plays a WAV from its list in the player instead, beside `paplay` playing it.
#   tools/measure-monitoring.sh [BUILD_DIR] [SECONDS] [ROUNDS]
# THREADS=1 adds each thread's share and wakeups; PERF_OUT=file records a profile of the window
# thread instead, with its call stacks. The last column is bench/repaint_floor beside them: a
# bare Qt window repainting pictures of the screens' size as often (two ten times a second, or
# the player's display thirty times) through Qt's backing store, which the program bypasses.
set -euo pipefail
build=$(realpath "${1:-build}")
seconds=${2:-20}
rounds=${3:-3}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d /tmp/sonvera-monitor.XXXXXX)

source "$source_dir/tools/lib/virtual-desktop.sh"
source "$source_dir/tools/lib/cpu-time.sh"
start_virtual_desktop
cleanup() {
    [ -n "${program:-}" ] && kill "$program" 2>/dev/null || true
    [ -n "${other:-}" ] && kill "$other" 2>/dev/null || true
    [ -n "${floor:-}" ] && kill "$floor" 2>/dev/null || true
    stop_virtual_desktop
}
trap cleanup EXIT

mkdir -p "$work/app/recordings"
cp "$build/Sonvera" "$work/app/Sonvera"
printf '[Folder]\nName=%s\n[Record Settings]\nWav=1\nMP3=0\n' "$work/app/recordings" >"$work/app/Sonvera.ini"
if [ -n "${PLAY:-}" ]; then
    sox -n -r 44100 -c 2 -b 16 "$work/app/recordings/record001.wav" \
        synth $((seconds * rounds + 10)) pinknoise vol 0.5
fi
"$work/app/Sonvera" &
program=$!
until window=$(xdotool search --maxdepth 1 --pid "$program" --onlyvisible --name '^Sonvera$' 2>/dev/null | head -1) &&
    [ -n "$window" ]; do sleep 0.05; done
sleep 2
if [ -n "${PLAY:-}" ]; then
    # The list's first row, below the menu bar and the header.
    xdotool mousemove --window "$window" 110 308 click --repeat 2 --delay 80 1
    paplay "$work/app/recordings/record001.wav" &
    other=$! other_name=paplay
else
    parec -d sonvera_signal_44100 --latency-msec=20 >/dev/null &
    other=$! other_name=parec
fi
if [ -n "${PLAY:-}" ]; then
    "$build/bench/repaint_floor" 1 1 &
else
    "$build/bench/repaint_floor" 2 3 &
fi
floor=$!
sleep 1
if [ -n "${PERF_OUT:-}" ]; then
    perf record -F 4000 -e cpu-clock --call-graph dwarf,16384 -o "$PERF_OUT" -t "$program" -- sleep "$seconds" >/dev/null 2>&1
    exit 0
fi

# With THREADS=1: each thread of the program (name/id), its CPU time and context switches over a
# round; a thread that started or ended within the round is left out.
thread_table() {
    local tid
    for tid in /proc/"$program"/task/*; do
        printf '%s/%s %s %s\n' "$(tr ' ' _ <"$tid/comm")" "${tid##*/}" "$(awk '{print $1}' "$tid/schedstat")" \
            "$(awk '/^voluntary_ctxt_switches/ {v=$2} /^nonvoluntary_ctxt_switches/ {n=$2} END {print v + n}' "$tid/status")"
    done | sort
}
printf '%-6s %12s %10s %12s\n' round "Sonvera %" "$other_name %" "bare Qt %"
for round in $(seq "$rounds"); do
    p0=$(cpu_ns "$program"); r0=$(cpu_ns "$other"); f0=$(cpu_ns "$floor")
    [ -n "${THREADS:-}" ] && thread_table >"$work/threads0"
    sleep "$seconds"
    p1=$(cpu_ns "$program"); r1=$(cpu_ns "$other"); f1=$(cpu_ns "$floor")
    if [ -n "${THREADS:-}" ]; then
        thread_table >"$work/threads1"
        join "$work/threads0" "$work/threads1" |
            awk -v s="$seconds" '{printf "  %-22s %6.2f %% %8.1f switches/s\n", $1, ($4 - $2) / s / 1e7, ($5 - $3) / s}'
    fi
    printf '%-6s %12s %10s %12s\n' "$round" "$(percent $((p1 - p0)) "$seconds")" \
        "$(percent $((r1 - r0)) "$seconds")" "$(percent $((f1 - f0)) "$seconds")"
done
