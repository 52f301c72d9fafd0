#!/usr/bin/env bash
# Measures the real program under a virtual display and the test sound server: CPU time per
# second of wall time while monitoring and while recording each format, resident memory, and
# the time from the process start to its window.
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

printf '%-20s %10s %10s %10s %11s %8s\n' format "window ms" "monitor %" "record %" "encoder %" "RSS MB"
for format in "Wav=1 MP3=0" "Wav=0 MP3=1" "Wav=0 MP3=0 OGG=1" "Wav=0 MP3=0 WMA=1"; do
    mkdir -p "$work/app/recordings"
    cp "$build/Sonvera" "$work/app/Sonvera"
    {
        echo "[Folder]"; echo "Name=$work/app/recordings"; echo "[Record Settings]"
        for kv in $format; do case $kv in WMA=*) ;; OGG=*) ;; *) echo "$kv" ;; esac; done
        echo "[WMA Settings]"; for kv in $format; do case $kv in WMA=*) echo "$kv" ;; esac; done
        echo "[OGG Settings]"; for kv in $format; do case $kv in OGG=*) echo "$kv" ;; esac; done
    } >"$work/app/Sonvera.ini"
    start=$(date +%s%N)
    "$work/app/Sonvera" &
    program=$!
    until xdotool search --pid "$program" --name Sonvera >/dev/null 2>&1; do sleep 0.02; done
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
    printf '%-20s %10s %10s %10s %11s %8s\n' "$format" "$window_ms" "$monitor" "$record" \
        "$encoder" "$rss"
    rm -rf "$work/app"
done
echo; echo "start to first block drawn (window created offscreen, in process):"
QT_QPA_PLATFORM=offscreen "$build/bench/bench_window_start" --benchmark_format=console 2>/dev/null | grep BM_
