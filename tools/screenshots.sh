#!/usr/bin/env bash
# Takes the README's screenshots of the real program: under a virtual display and the test sound
# server it starts a recording (F5) and shoots the main window into docs/main-window.png, stops
# it (F9), double-clicks the file list's first row and shoots the player into docs/player.png.
#   tools/screenshots.sh [BUILD_DIR]
# Needs xvfb, xdotool and imagemagick (import).
set -euo pipefail
build=$(realpath "${1:-build}")
source_dir=$(cd "$(dirname "$0")/.." && pwd)
docs=$source_dir/docs
for tool in Xvfb xdotool import xdpyinfo; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (apt-get install xvfb xdotool imagemagick x11-utils)" >&2; exit 1; }
done
work=$(mktemp -d /tmp/sonvera-shots.XXXXXX)
mkdir -p "$docs"

source "$source_dir/tools/lib/virtual-desktop.sh"
start_virtual_desktop
program=""
cleanup() {
    if [ -n "$program" ]; then
        kill "$program" 2>/dev/null && wait "$program" 2>/dev/null || true
    fi
    stop_virtual_desktop
}
trap cleanup EXIT

# The program in a folder of its own, so the settings beside it are these.
mkdir -p "$work/app/recordings"
cp "$build/Sonvera" "$work/app/Sonvera"
[ -f "$build/Sonvera.html" ] && cp "$build/Sonvera.html" "$work/app/"
printf '[Folder]\nName=%s\n[Record Settings]\nWav=1\nMP3=0\n' "$work/app/recordings" \
    >"$work/app/Sonvera.ini"
"$work/app/Sonvera" &
program=$!

window=""
for _ in $(seq 200); do
    window=$(xdotool search --maxdepth 1 --pid "$program" --onlyvisible --name Sonvera 2>/dev/null | head -1) || true
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "the main window did not appear" >&2; exit 1; }
sleep 2 # let the screens fill with the signal

xdotool key F5
sleep 4
import -window "$window" "$docs/main-window.png"
echo "wrote $docs/main-window.png"
xdotool key F9
sleep 2

# The first data row of the file list, under the menu bar and the list's header row.
xdotool mousemove --window "$window" 110 308 click --repeat 2 --delay 80 1
# The player: a small visible window of the program (274 x 204), not the main window.
find_player() {
    local id WIDTH HEIGHT
    for id in $(xdotool search --maxdepth 1 --pid "$program" --onlyvisible '.*' 2>/dev/null); do
        [ "$id" = "$window" ] && continue
        eval "$(xdotool getwindowgeometry --shell "$id" | grep -E '^(WIDTH|HEIGHT)=')"
        if [ "$WIDTH" -lt 400 ] && [ "$HEIGHT" -lt 300 ]; then
            echo "$id"
            return
        fi
    done
}
player=""
for _ in $(seq 50); do
    player=$(find_player || true)
    [ -n "$player" ] && break
    sleep 0.1
done
if [ -z "$player" ]; then
    echo "no player window appeared; docs/player.png not taken" >&2
    exit 1
fi
sleep 3 # let the spectrum move
import -window "$player" "$docs/player.png"
echo "wrote $docs/player.png"
