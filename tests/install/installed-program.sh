#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks the installed tree: every file in place, the
# desktop entry, the icons and the AppStream metadata under the program's one id, the icons at
# their sizes, the desktop entry valid; then runs the installed program from a read-only
# folder (a read-only bind mount in a namespace of its own), where it must keep its settings in
# the per-user copy, and the installed clean-up program, which must delete that copy.
#   installed-program.sh BUILD_DIR PULSE_DIR APP_ID
set -euo pipefail
build=$1
pulse=$2
id=$3
work=$(mktemp -d /tmp/sonvera-install.XXXXXX)
program=""
cleanup() {
    [ -n "$program" ] && kill -KILL "$program" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

desktop=$prefix/share/applications/$id.desktop
for file in bin/Sonvera bin/vstoreclean bin/Sonvera.html "share/applications/$id.desktop" \
    "share/metainfo/$id.metainfo.xml" "share/icons/hicolor/scalable/apps/$id.svg"; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
done
[ -x "$prefix/bin/Sonvera" ] && [ -x "$prefix/bin/vstoreclean" ] || fail "programs not executable"
for size in 48 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
    [ -f "$png" ] || fail "no ${size}x${size} icon"
    # Width and height are the big-endian words at bytes 16 and 20 of a PNG.
    read -r width height < <(od -An -tu4 --endian=big -j16 -N8 "$png")
    [ "$width" = "$size" ] && [ "$height" = "$size" ] || fail "$png is ${width}x${height}"
done
desktop-file-validate "$desktop" || fail "desktop entry invalid"
grep -qx 'Categories=AudioVideo;Audio;Recorder;' "$desktop" || fail "desktop entry categories"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry's icon is not $id"
# The metadata as a software centre finds it, with the desktop entry it names.
if command -v appstreamcli >/dev/null; then
    appstreamcli validate-tree --no-net --strict "$prefix" || fail "AppStream metadata of the tree"
fi

# A namespace where the install folder can be mounted read-only, as root or not.
if unshare -rm true 2>/dev/null; then
    isolate=(unshare -rm)
elif unshare -m true 2>/dev/null; then
    isolate=(unshare -m)
else
    echo "SKIP: no mount namespace for a read-only install folder" >&2
    exit 77
fi

mkdir -p "$work/home" "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
environment=(HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
    PULSE_SERVER="unix:$pulse/native" PULSE_COOKIE="$pulse/cookie" QT_QPA_PLATFORM=offscreen)
env "${environment[@]}" "${isolate[@]}" sh -c \
    'mount --bind -o ro "$1" "$1" && exec "$1/Sonvera"' sh "$prefix/bin" &
program=$!

# The program closes in order on SIGTERM once its handler is in place (bit 15 of SigCgt).
handles_term() {
    local mask
    mask=$(awk '/^SigCgt:/ {print $2}' "/proc/$program/status" 2>/dev/null) || return 1
    [ -n "$mask" ] && (((0x$mask >> 14) & 1))
}
for _ in $(seq 200); do
    handles_term && break
    kill -0 "$program" 2>/dev/null || fail "the installed program ended by itself"
    sleep 0.1
done
handles_term || fail "the installed program never became ready"
kill -TERM "$program"
status=0
wait "$program" || status=$?
program=""
[ "$status" = 0 ] || fail "the installed program exited with $status"

per_user=$work/config/Sonvera/Sonvera.ini
[ ! -e "$prefix/bin/Sonvera.ini" ] || fail "settings written into the read-only install folder"
[ -f "$per_user" ] || fail "no per-user settings at $per_user"
grep -q '^\[Folder\]' "$per_user" || fail "the per-user settings lack the Folder section"

env "${environment[@]}" "$prefix/bin/vstoreclean" || fail "vstoreclean exited with $?"
[ ! -e "$per_user" ] || fail "vstoreclean left the per-user copy"
echo "installed tree, read-only run and clean-up: OK"
