#!/usr/bin/env bash
# Measures the first start of the real program on a big output folder, under a virtual display
# and the test sound server: the time from the process start to its window, and to the first
# F5 accepted (the recording's file is there). Three runs: COUNT one-second recordings of the
# four kinds with no durations kept yet (cold), the same again (warm: durations kept on disk by
# the first run), and a folder holding an 8 TiB sparse MP3 beside a few recordings.
#   tools/measure-big-folder.sh [BUILD_DIR] [COUNT]
set -euo pipefail
build=$(realpath "${1:-build}")
count=${2:-10000}
give_up_ms=60000
source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d /tmp/sonvera-big-folder.XXXXXX)

source "$source_dir/tools/lib/virtual-desktop.sh"
start_virtual_desktop
cleanup() {
    [ -n "${program:-}" ] && kill -KILL "$program" 2>/dev/null || true
    stop_virtual_desktop
}
trap cleanup EXIT

now_ms() { echo $(($(date +%s%N) / 1000000)); }

sources=$work/sources
mkdir -p "$sources"
ffmpeg -v error -f lavfi -i "sine=frequency=440:duration=1" -ac 2 -ar 44100 "$sources/one.wav"
lame --quiet "$sources/one.wav" "$sources/one.mp3"
oggenc --quiet "$sources/one.wav" -o "$sources/one.ogg"
ffmpeg -v error -i "$sources/one.wav" -c:a wmav2 "$sources/one.wma"

big=$work/big
mkdir -p "$big"
kinds=(wav mp3 ogg wma)
for i in $(seq 1 "$count"); do
    kind=${kinds[$((i % 4))]}
    ln "$sources/one.$kind" "$big/take$i.$kind"
done

sparse=$work/sparse
mkdir -p "$sparse"
for kind in "${kinds[@]}"; do cp "$sources/one.$kind" "$sparse/take.$kind"; done
lame --quiet -t "$sources/one.wav" "$sparse/frames.mp3"
head -c 417 "$sparse/frames.mp3" >"$sparse/huge.mp3"
rm "$sparse/frames.mp3"
truncate -s 8T "$sparse/huge.mp3"

# Waits until `$1` (a command) succeeds, for at most $give_up_ms from $start; prints the ms
# since $start, or ">$give_up_ms".
ms_until() {
    while [ $(($(now_ms) - start)) -lt $give_up_ms ]; do
        kill -0 "$program" 2>/dev/null || { echo "ended"; return; }
        if eval "$1" >/dev/null 2>&1; then
            echo $(($(now_ms) - start))
            return
        fi
        sleep 0.01
    done
    echo ">$give_up_ms"
}

# One start: prints "window ms" and "F5 ms" from the process start.
run() {
    local folder=$1 home=$2 window_ms f5_ms
    mkdir -p "$work/app" "$home"
    cp "$build/Sonvera" "$work/app/Sonvera"
    printf '[Folder]\nName=%s\n[Record Settings]\nWav=1\nMP3=0\n' "$folder" >"$work/app/Sonvera.ini"
    start=$(now_ms)
    HOME=$home XDG_CACHE_HOME= "$work/app/Sonvera" 2>>"${SONVERA_LOG:-/dev/null}" &
    program=$!
    window_ms=$(ms_until "xdotool search --onlyvisible --pid $program --name Sonvera")
    xdotool key F5
    f5_ms=$(ms_until "compgen -G '$folder/record*.wav'")
    xdotool key F9
    sleep 1
    kill -TERM "$program" 2>/dev/null || true
    for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$program" 2>/dev/null || true
    wait "$program" 2>/dev/null || true
    program=""
    rm -f "$folder"/record*.wav
    rm -rf "$work/app"
    echo "$window_ms $f5_ms"
}

printf '%-28s %10s %10s\n' run "window ms" "F5 ms"
read -r w f <<<"$(run "$big" "$work/home-big")"
printf '%-28s %10s %10s\n' "$count recordings, cold" "$w" "$f"
read -r w f <<<"$(run "$big" "$work/home-big")"
printf '%-28s %10s %10s\n' "$count recordings, warm" "$w" "$f"
read -r w f <<<"$(run "$sparse" "$work/home-sparse")"
printf '%-28s %10s %10s\n' "8 TiB sparse .mp3" "$w" "$f"
