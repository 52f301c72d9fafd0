#!/usr/bin/env bash
# Starts or stops the private sound server the tests record from. No sound card is needed:
# three pipe sources carry the known signal at 44100, 48000 and 96000 Hz (fed by signal_feeder),
# a null sink takes playback, and a null source gives silence.
#   pulse-server.sh start DIR FEEDER     pulse-server.sh stop DIR
# Clients reach it with PULSE_SERVER=unix:DIR/native PULSE_COOKIE=DIR/cookie (see DIR/env).
# SONVERA_SOUND_SERVER=pipewire starts PipeWire with pipewire-pulse in its place (pipewire-server.sh).
set -euo pipefail

command=$1
dir=$(realpath -m "$2")

# A killed process may linger as a zombie until something reaps it: that counts as gone.
alive() { [ -r "/proc/$1/status" ] && ! grep -q '^State:[[:space:]]*Z' "/proc/$1/status"; }

stop() {
    for pidfile in "$dir"/*.pid "$dir"/runtime/pid; do
        [ -f "$pidfile" ] || continue
        pid=$(cat "$pidfile")
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 50); do alive "$pid" || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null || true
        rm -f "$pidfile"
    done
}

case "$command" in
stop)
    stop
    ;;
start)
    feeder=$(realpath "$3")
    stop
    rm -rf "$dir"
    mkdir -p "$dir/home" "$dir/config" "$dir/runtime" "$dir/state"
    chmod 700 "$dir/runtime"
    head -c 256 /dev/urandom >"$dir/cookie"
    cat >"$dir/env" <<ENV
export PULSE_SERVER=unix:$dir/native
export PULSE_COOKIE=$dir/cookie
ENV
    if [ "${SONVERA_SOUND_SERVER:-pulseaudio}" = pipewire ]; then
        "$(dirname "$0")/pipewire-server.sh" "$dir" "$feeder"
        echo "PipeWire sound server up at $dir/native"
        exit 0
    fi
    export HOME="$dir/home" XDG_CONFIG_HOME="$dir/config" XDG_RUNTIME_DIR="$dir/runtime"
    cat >"$dir/server.pa" <<PA
load-module module-native-protocol-unix auth-anonymous=1 auth-cookie=$dir/cookie socket=$dir/native
load-module module-null-sink sink_name=sonvera_out sink_properties=device.description=Test_output
load-module module-null-source source_name=sonvera_silence description=Silence
PA
    for rate in 44100 48000 96000; do
        echo "load-module module-pipe-source source_name=sonvera_signal_$rate file=$dir/signal_$rate format=s16le rate=$rate channels=2 source_properties=device.description=Test_signal_$rate" >>"$dir/server.pa"
    done
    cat >>"$dir/server.pa" <<PA
set-default-sink sonvera_out
set-default-source sonvera_signal_44100
PA
    export PULSE_RUNTIME_PATH="$dir/runtime" PULSE_STATE_PATH="$dir/state"
    pulseaudio -n -F "$dir/server.pa" --daemonize=yes --use-pid-file=yes --exit-idle-time=-1 \
        --disallow-exit --realtime=no --high-priority=no --log-target=file:"$dir/server.log"
    for _ in $(seq 100); do [ -S "$dir/native" ] && break; sleep 0.1; done
    for rate in 44100 48000 96000; do
        nohup "$feeder" "$dir/signal_$rate" "$rate" >/dev/null 2>&1 &
        echo $! >"$dir/feeder-$rate.pid"
    done
    PULSE_SERVER="unix:$dir/native" PULSE_COOKIE="$dir/cookie" pactl info >/dev/null
    echo "sound server up at $dir/native"
    ;;
*)
    echo "usage: $0 start DIR FEEDER | stop DIR" >&2
    exit 2
    ;;
esac
