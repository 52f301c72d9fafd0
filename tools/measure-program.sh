#!/usr/bin/env bash
# Measures the real program under a virtual display and the test sound server: CPU time per
# second of wall time while monitoring and while recording each format (WAV, MP3 through lame,
# OGG through oggenc, WMA, FLAC, Opus), what recording costs above monitoring (with the encoder
# process), resident memory, and the time from the process start to its window.
#   tools/measure-program.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
build=$(realpath "${1:-build}")
seconds=${2:-20}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d /tmp/sonvera-measure.XXXXXX)

source "$source_dir/tools/lib/virtual-desktop.sh"
source "$source_dir/tools/lib/cpu-time.sh"
start_virtual_desktop
cleanup() {
    [ -n "${program:-}" ] && kill "$program" 2>/dev/null || true
    stop_virtual_desktop
}
trap cleanup EXIT

# The encoder processes the program started (lame, oggenc), summed.
children_ns() {
    local total=0 child
    for child in $(pgrep -P "$1"); do total=$((total + $(cpu_ns "$child"))); done
    echo "$total"
}
# CPU percent of one core over the next $seconds seconds: the program, then its encoders.
cpu_percent() {
    local before after child_before child_after
    before=$(cpu_ns "$1")
    child_before=$(children_ns "$1")
    sleep "$seconds"
    after=$(cpu_ns "$1")
    child_after=$(children_ns "$1")
    echo "$(percent $((after - before)) "$seconds") $(percent $((child_after - child_before)) "$seconds")"
}
rss_mb() { awk '/VmRSS/ {printf "%.1f", $2 / 1024}' "/proc/$1/status"; }

# Each format as the settings file selects it.
formats=(
    "WAV|[Record Settings]\nWav=1\nMP3=0"
    "MP3|[Record Settings]\nWav=0\nMP3=1"
    "OGG|[Record Settings]\nWav=0\nMP3=0\n[OGG Settings]\nOGG=1"
    "WMA|[Record Settings]\nWav=0\nMP3=0\n[WMA Settings]\nWMA=1"
    "FLAC|[Record Settings]\nWav=0\nMP3=0\n[FLAC Settings]\nFLAC=1\nFlacLevel=5"
    "Opus|[Record Settings]\nWav=0\nMP3=0\n[Opus Settings]\nOpus=1\nOpusRate=64"
)
row='%-8s %10s %10s %10s %11s %11s %8s\n'
printf "$row" format "window ms" "monitor %" "record %" "encoder %" "recording %" "RSS MB"
for entry in "${formats[@]}"; do
    format=${entry%%|*}
    mkdir -p "$work/app/recordings"
    cp "$build/Sonvera" "$work/app/Sonvera"
    printf '[Folder]\nName=%s\n%b\n' "$work/app/recordings" "${entry#*|}" >"$work/app/Sonvera.ini"
    start=$(date +%s%N)
    "$work/app/Sonvera" &
    program=$!
    until xdotool search --pid "$program" --name Sonvera >/dev/null 2>&1; do
        kill -0 "$program" 2>/dev/null || { echo "the program ended before its window" >&2; exit 1; }
        sleep 0.02
    done
    window_ms=$((($(date +%s%N) - start) / 1000000))
    sleep 2
    read -r monitor _ <<<"$(cpu_percent "$program")"
    xdotool key F5
    sleep 1
    read -r record encoder <<<"$(cpu_percent "$program")"
    rss=$(rss_mb "$program")
    xdotool key F9
    sleep 1
    kill -TERM "$program"
    wait "$program" || true
    program=""
    # What recording in the format costs: the program's time above monitoring, plus its encoder.
    recording=$(awk -v m="$monitor" -v r="$record" -v e="$encoder" 'BEGIN {printf "%.2f", r - m + e}')
    printf "$row" "$format" "$window_ms" "$monitor" "$record" "$encoder" "$recording" "$rss"
    rm -rf "$work/app"
done
echo; echo "start to first block drawn (window created offscreen, in process):"
QT_QPA_PLATFORM=offscreen "$build/bench/bench_window_start" --benchmark_format=console 2>/dev/null | grep BM_
