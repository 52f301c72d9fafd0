#!/usr/bin/env bash
# Installs the Debian packages Sonvera needs: "run" for building and running, "test" for that
# plus the private sound servers (PulseAudio, and PipeWire with its pulse server), the virtual
# display, a headless Wayland compositor and the measuring tools of the tests.
set -euo pipefail

run_packages=(cmake g++ make pkg-config qt6-base-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins
    libavformat-dev libavcodec-dev libswresample-dev libavutil-dev libpulse-dev libfftw3-dev
    libxcb1-dev libxcb-shm0-dev lame vorbis-tools fonts-dejavu-core)
test_packages=(libgtest-dev libgmock-dev libbenchmark-dev pulseaudio pulseaudio-utils pipewire
    pipewire-pulse wireplumber xvfb xdotool sox x11-utils ffmpeg desktop-file-utils dpkg-dev weston
    qt6-wayland xwayland appstream dbus-daemon libglib2.0-bin)

packages=("${run_packages[@]}")
[ "${1:-run}" = test ] && packages+=("${test_packages[@]}")

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
