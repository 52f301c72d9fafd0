#!/usr/bin/env bash
# In one run, side by side: the program monitoring its input beside `parec` reading the same
# source, then the program playing a WAV in the player beside `paplay` playing it. CPU time per
# wall second of each, as percent of one core, over several rounds, with the spread over the
# rounds, and the program's peak resident memory (VmHWM). Each phase starts the program afresh,
# so the monitoring phase has an empty folder, as on a first start.
#   tools/measure-monitoring.sh [BUILD_DIR] [SECONDS] [ROUNDS]
# ONLY=monitor or ONLY=play runs one phase. THREADS=1 adds each thread's share and wakeups;
# PERF_OUT=file records a profile of the window thread while monitoring instead, with its call
# stacks (PERF_FREQ samples a second, 4000 unless set). SOURCE names the source monitored
# (sonvera_signal_44100, whose feeder writes every 10 ms whatever its readers ask;
# sonvera_out.monitor paces itself by the latency its readers ask for, as a sound card does),
# PAREC_MS parec's fragment (20 ms unless set). The last two columns are bench/repaint_floor
# beside them: a bare Qt window repainting pictures of the screens' size as often (two ten
# times a second, or the player's display thirty times) through Qt's backing store, which the
# program bypasses; and a bare Qt window whose 33 ms timer does nothing.
set -euo pipefail
build=$(realpath "${1:-build}")
seconds=${2:-20}
rounds=${3:-3}
source=${SOURCE:-sonvera_signal_44100}
parec_ms=${PAREC_MS:-20}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d /tmp/sonvera-monitor.XXXXXX)

source "$source_dir/tools/lib/virtual-desktop.sh"
source "$source_dir/tools/lib/cpu-time.sh"
start_virtual_desktop
stop_processes() {
    local pid
    for pid in ${program:-} ${other:-} ${floor:-} ${tick:-}; do kill "$pid" 2>/dev/null || true; done
    for pid in ${program:-} ${other:-} ${floor:-} ${tick:-}; do wait "$pid" 2>/dev/null || true; done
    program="" other="" floor="" tick=""
}
cleanup() {
    stop_processes
    stop_virtual_desktop
}
trap cleanup EXIT

# Starts the program on a folder of its own and waits for its window.
start_program() {
    rm -rf "$work/app"
    mkdir -p "$work/app/recordings"
    cp "$build/Sonvera" "$work/app/Sonvera"
    printf '[Folder]\nName=%s\n[Record Settings]\nWav=1\nMP3=0\n' "$work/app/recordings" >"$work/app/Sonvera.ini"
    [ -n "${1:-}" ] && cp "$1" "$work/app/recordings/"
    "$work/app/Sonvera" &
    program=$!
    until window=$(xdotool search --maxdepth 1 --pid "$program" --onlyvisible --name '^Sonvera$' 2>/dev/null | head -1) &&
        [ -n "$window" ]; do sleep 0.05; done
    sleep 2
}

# With THREADS=1: each thread of the program (name/id), its CPU time and context switches over a
# round; a thread that started or ended within the round is left out.
thread_table() {
    local tid
    for tid in /proc/"$program"/task/*; do
        printf '%s/%s %s %s\n' "$(tr ' ' _ <"$tid/comm")" "${tid##*/}" "$(awk '{print $1}' "$tid/schedstat")" \
            "$(awk '/^voluntary_ctxt_switches/ {v=$2} /^nonvoluntary_ctxt_switches/ {n=$2} END {print v + n}' "$tid/status")"
    done | sort
}
peak_mb() { awk '/^VmHWM/ {printf "%.1f", $2 / 1024}' "/proc/$1/status"; }

# Rounds of $seconds with the program, the reference tool and the bare windows running; prints
# a row per round and a last row with the mean and the spread (lowest-highest) of each column.
measure_rounds() {
    local round i
    local -a pids=("$program" "$other" "$floor" "$tick") before
    printf '%-7s %14s %14s %14s %14s\n' round "Sonvera %" "$other_name %" "bare Qt %" "bare tick %"
    for round in $(seq "$rounds"); do
        for i in "${!pids[@]}"; do before[i]=$(cpu_ns "${pids[i]}"); done
        [ -n "${THREADS:-}" ] && thread_table >"$work/threads0"
        sleep "$seconds"
        if [ -n "${THREADS:-}" ]; then
            thread_table >"$work/threads1"
            join "$work/threads0" "$work/threads1" |
                awk -v s="$seconds" '{printf "  %-22s %6.2f %% %8.1f switches/s\n", $1, ($4 - $2) / s / 1e7, ($5 - $3) / s}'
        fi
        printf '%-7s' "$round"
        for i in "${!pids[@]}"; do
            printf ' %14s' "$(percent $(($(cpu_ns "${pids[i]}") - before[i])) "$seconds")"
        done
        echo
    done | tee "$work/rounds"
    awk '$1 ~ /^[0-9]+$/ {
            for (c = 2; c <= 5; c++) {
                sum[c] += $c
                if (n == 0 || $c < lo[c]) lo[c] = $c
                if (n == 0 || $c > hi[c]) hi[c] = $c
            }
            n++
        }
        END {
            printf "%-7s", "mean"
            for (c = 2; c <= 5; c++) printf " %14s", sprintf("%.2f (%.2f-%.2f)", sum[c] / n, lo[c], hi[c])
            printf "\n%-7s %14s\n", "ratio", sprintf("%.1fx", sum[3] > 0 ? sum[2] / sum[3] : 0)
        }' "$work/rounds"
    echo "peak resident memory of Sonvera (VmHWM): $(peak_mb "$program") MB"
}

# The bare windows beside the program: pictures of the screens' size repainted through Qt's
# backing store as often as the program's ($1 pictures every $2-th tick), and a window whose
# 33 ms timer does nothing, what the program's ticks cost before they do anything.
start_floors() {
    "$build/bench/repaint_floor" "$1" "$2" &
    floor=$!
    "$build/bench/repaint_floor" 0 1 &
    tick=$!
}

if [ "${ONLY:-monitor}" = monitor ]; then
    echo "== monitoring $source, beside parec reading it in $parec_ms ms fragments"
    pactl set-default-source "$source"
    start_program
    parec -d "$source" --latency-msec="$parec_ms" >/dev/null &
    other=$! other_name=parec
    start_floors 2 3
    sleep 1
    if [ -n "${PERF_OUT:-}" ]; then
        perf record -F ${PERF_FREQ:-4000} -e cpu-clock --call-graph dwarf,16384 -o "$PERF_OUT" -t "$program" -- sleep "$seconds" >/dev/null 2>&1
        exit 0
    fi
    measure_rounds
    stop_processes
fi
if [ "${ONLY:-play}" = play ]; then
    echo "== playing a WAV with the player shown, beside paplay playing it"
    sox -n -r 44100 -c 2 -b 16 "$work/record001.wav" synth $((seconds * rounds + 10)) pinknoise vol 0.5
    start_program "$work/record001.wav"
    # The list's first row, below the menu bar and the header.
    xdotool mousemove --window "$window" 110 308 click --repeat 2 --delay 80 1
    paplay "$work/record001.wav" &
    other=$! other_name=paplay
    start_floors 1 1
    sleep 1
    measure_rounds
fi
