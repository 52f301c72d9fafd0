#!/usr/bin/env bash
# Measures the player under a virtual display and the test sound server: CPU time per second of
# wall time while the player window (hosted alone by bench_window_player) plays a WAV file,
# beside paplay playing the same file; then the cost of one display draw and of one tick.
#   tools/measure-player.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
build=$(realpath "${1:-build}")
seconds=${2:-20}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d /tmp/sonvera-measure-player.XXXXXX)

source "$source_dir/tools/lib/virtual-desktop.sh"
source "$source_dir/tools/lib/cpu-time.sh"
start_virtual_desktop
cleanup() {
    [ -n "${program:-}" ] && kill "$program" 2>/dev/null || true
    stop_virtual_desktop
}
trap cleanup EXIT

# Pink noise keeps every bar of the spectrum moving; long enough for the whole measurement.
file=$work/noise.wav
sox -n -r 44100 -c 2 -b 16 "$file" synth $((seconds + 10)) pinknoise vol 0.5

# CPU percent of one core over the next $seconds seconds.
cpu_percent() {
    local before after
    before=$(cpu_ns "$1")
    sleep "$seconds"
    after=$(cpu_ns "$1")
    percent $((after - before)) "$seconds"
}

"$build/bench/bench_window_player" --play "$file" &
program=$!
until xdotool search --pid "$program" >/dev/null 2>&1; do sleep 0.02; done
sleep 2
player=$(cpu_percent "$program")
kill "$program"
wait "$program" || true

paplay "$file" &
program=$!
sleep 2
paplay_cpu=$(cpu_percent "$program")
kill "$program"
wait "$program" || true
program=""

printf '%-34s %8s\n' "playing $seconds s of a WAV" "CPU %"
printf '%-34s %8s\n' "player window (whole program)" "$player"
printf '%-34s %8s\n' "paplay, the same file" "$paplay_cpu"
echo; echo "one draw of the display, and one tick while playing (offscreen):"
QT_QPA_PLATFORM=offscreen "$build/bench/bench_player_display" --benchmark_format=console 2>/dev/null | grep BM_
QT_QPA_PLATFORM=offscreen SONVERA_BENCH_FILE="$file" "$build/bench/bench_window_player" \
    --benchmark_format=console 2>/dev/null | grep BM_
