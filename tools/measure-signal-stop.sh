#!/usr/bin/env bash
# Records an MP3 VBR under a virtual display and the test sound server, then ends the program
# as a terminal does: the signal goes to its whole process group. Prints the time recorded, the
# decoded length of the file, whether lame's VBR tag is there and whether the settings were
# written.
#   tools/measure-signal-stop.sh [BUILD_DIR] [SECONDS] [SIGNAL]
set -euo pipefail
build=$(realpath "${1:-build}")
seconds=${2:-60}
signal=${3:-INT}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d /tmp/sonvera-signal.XXXXXX)

source "$source_dir/tools/lib/virtual-desktop.sh"
start_virtual_desktop
trap stop_virtual_desktop EXIT

mkdir -p "$work/app/recordings"
cp "$build/Sonvera" "$work/app/Sonvera"
printf '[Folder]\nName=%s\n[Record Settings]\nWav=0\nMP3=1\nVBR=1\nVBRQuality=4\nMinBitRate=32\nMaxBitRate=320\nMode=1\n' \
    "$work/app/recordings" >"$work/app/Sonvera.ini"
# Job control gives the program a process group of its own, as an interactive shell does.
set -m
"$work/app/Sonvera" >/dev/null 2>&1 &
program=$!
set +m
until xdotool search --onlyvisible --pid "$program" --name Sonvera >/dev/null 2>&1; do sleep 0.1; done
sleep 1
xdotool key F5
start=$(date +%s%N)
sleep "$seconds"
kill -s "$signal" -- "-$program"
recorded_ms=$((($(date +%s%N) - start) / 1000000))
wait "$program" || true

file=$(ls "$work/app/recordings"/*.mp3 2>/dev/null | head -1)
bytes=$( [ -n "$file" ] && ffmpeg -v quiet -i "$file" -f s16le -ac 2 -ar 44100 - | wc -c || echo 0)
echo "recorded:  $((recorded_ms / 1000)).$(printf %03d $((recorded_ms % 1000))) s"
echo "decoded:   $(awk -v b="$bytes" 'BEGIN { printf "%.3f", b / 176400 }') s"
echo "VBR tag:   $( [ -n "$file" ] && head -c 8192 "$file" | grep -qa Xing && echo yes || echo no)"
echo "settings:  $(grep -q '^Clipping Detection=' "$work/app/Sonvera.ini" && echo written || echo not written)"
