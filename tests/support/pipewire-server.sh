#!/usr/bin/env bash
# The PipeWire flavour of the private sound server (pipewire, wireplumber and pipewire-pulse,
# no sound card, no system services), reached through the same pulse socket and holding the
# same sinks and sources as the PulseAudio one. pulse-server.sh runs it when
# SONVERA_SOUND_SERVER=pipewire; it stops it as it stops the other. Without FEEDER it starts a
# bare server, without sinks or sources (a test's server of its own, e2e::LonelySoundServer).
#   pipewire-server.sh DIR [FEEDER]    (DIR holds home, config, runtime, state; the pid of each
#                                       process goes to DIR/<name>.pid)
#
# A pipe source on PipeWire pads what the pipe lacks with silence, so each known signal is
# played instead into a null sink of its own rate (whose clock drives it, unresampled) and
# offered as a real source by a loopback from that sink's monitor. The player reads the
# feeder only as fast as it plays, so the signal is continuous however busy the machine.
# The loopback drops a quantum when the graph's quantum changes (a client asking for a short
# latency): the feed sinks lock it.
set -euo pipefail

dir=$1
feeder=${2:-}
rates=(44100 48000 96000)
conf="$dir/config/pipewire/pipewire.conf.d/sonvera.conf"
mkdir -p "$(dirname "$conf")" "$dir/config/pipewire/pipewire-pulse.conf.d" \
    "$dir/config/wireplumber/main.lua.d"

null_node() { # NAME DESCRIPTION CLASS [RATE]
    echo "    { factory = adapter args = { factory.name = support.null-audio-sink node.name = $1"
    echo "        node.description = $2 media.class = $3 audio.position = [ FL FR ]"
    [ -n "${4:-}" ] && echo "        audio.rate = $4 node.rate = 1/$4 node.lock-quantum = true"
    echo "    } }"
}
export HOME="$dir/home" XDG_CONFIG_HOME="$dir/config" XDG_RUNTIME_DIR="$dir/runtime"
# The graph runs at the rate of what plays or records, unresampled; with a feeder, the test's
# sinks and sources to play the known signal into.
test_nodes() {
    echo "context.objects = ["
    null_node sonvera_out Test_output Audio/Sink
    null_node sonvera_silence Silence Audio/Source/Virtual
    for rate in "${rates[@]}"; do null_node "sonvera_feed_$rate" "Feed_$rate" Audio/Sink "$rate"; done
    echo "]"
    echo "context.modules = ["
    for rate in "${rates[@]}"; do
        cat <<CONF
    { name = libpipewire-module-loopback args = { audio.position = [ FL FR ] audio.rate = $rate
        capture.props = { node.name = sonvera_signal_in_$rate stream.capture.sink = true
            target.object = sonvera_feed_$rate node.dont-reconnect = true audio.rate = $rate }
        playback.props = { media.class = Audio/Source node.name = sonvera_signal_$rate
            node.description = Test_signal_$rate audio.rate = $rate } } }
CONF
    done
    echo "]"
}
{
    echo "context.properties = { default.clock.allowed-rates = [ ${rates[*]} ] }"
    if [ -n "$feeder" ]; then test_nodes; fi
} >"$conf"
cat >"$dir/config/pipewire/pipewire-pulse.conf.d/sonvera.conf" <<CONF
pulse.properties = { server.address = [ "unix:$dir/native" ] }
CONF
# Without the null sink it makes where there is none: its monitor would be a source, and the
# tests' servers hold exactly the sources they load, as the PulseAudio ones do.
sed '/^ *{ cmd = "load-module" args = "module-always-sink"/d' /usr/share/pipewire/pipewire-pulse.conf \
    >"$dir/config/pipewire/pipewire-pulse.conf"
# Wireplumber without the Bluetooth, sound card and camera monitors and the Flatpak portal:
# they need the system bus or hardware, which the tests have not.
sed '/bluetooth.lua/d' /usr/share/wireplumber/wireplumber.conf >"$dir/config/wireplumber/wireplumber.conf"
cat >"$dir/config/wireplumber/main.lua.d/90-enable-all.lua" <<CONF
load_module("metadata")
default_access.properties["enable-flatpak-portal"] = false
default_access.enable()
device_defaults.enable()
stream_defaults.enable()
load_script("intended-roles.lua")
CONF

export PIPEWIRE_RUNTIME_DIR="$dir/runtime" XDG_STATE_HOME="$dir/state"
# No session bus of the desktop the tests may run on: this server has no business there.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$dir/no-bus" DBUS_SYSTEM_BUS_ADDRESS="unix:path=$dir/no-bus"
export PULSE_SERVER="unix:$dir/native"
daemon() { # NAME COMMAND...
    nohup "${@:2}" >"$dir/$1.log" 2>&1 &
    echo $! >"$dir/$1.pid"
}
# Sockets left by a server that was killed would pass for the new one's.
rm -f "$dir/runtime/pipewire-0" "$dir/native"
daemon pipewire pipewire
for _ in $(seq 100); do [ -S "$dir/runtime/pipewire-0" ] && break; sleep 0.1; done
daemon wireplumber wireplumber
daemon pipewire-pulse pipewire-pulse
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
[ -n "$feeder" ] || exit 0

for rate in "${rates[@]}"; do
    mkfifo "$dir/signal_$rate"
    daemon "feeder-$rate" "$feeder" "$dir/signal_$rate" "$rate" unpaced
    daemon "player-$rate" pacat --playback --raw --device="sonvera_feed_$rate" --format=s16le \
        --rate="$rate" --channels=2 --client-name="Feed $rate" "$dir/signal_$rate"
done
# Wireplumber keeps the defaults; ready once it took them and linked every feed.
for _ in $(seq 100); do
    pactl set-default-sink sonvera_out 2>/dev/null && pactl set-default-source sonvera_signal_44100 2>/dev/null &&
        pactl info | grep -q 'Default Source: sonvera_signal_44100' &&
        [ "$(pactl list short sink-inputs | wc -l)" -eq ${#rates[@]} ] &&
        [ "$(pactl list short source-outputs | wc -l)" -eq ${#rates[@]} ] && break
    sleep 0.1
done
# Until the feeds reach the sources, these give silence.
flowing() (
    set +o pipefail # parec ends on the closed pipe
    timeout 2 parec --raw --latency-msec=20 --device="sonvera_signal_$1" --format=s16le \
        --rate="$1" --channels=2 2>/dev/null | head -c 16384 | tr -d '\0' | grep -q .
)
for rate in "${rates[@]}"; do
    for _ in $(seq 10); do flowing "$rate" && continue 2; done
    echo "the PipeWire server did not come up; see $dir/*.log" >&2
    exit 1
done
