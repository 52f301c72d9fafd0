# Sourced by the measuring and screenshot scripts: the test sound server and a virtual display
# for the real program. Needs $source_dir, $build and $work; sets DISPLAY and the sound server's
# variables. `stop_virtual_desktop` ends both and removes $work.

start_virtual_desktop() {
    "$source_dir/tests/support/pulse-server.sh" start "$work/pulse" "$build/tests/signal_feeder" >/dev/null
    source "$work/pulse/env"
    local n display=""
    for n in $(seq 150 199); do
        [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] || { display=":$n"; break; }
    done
    Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/pulse/runtime
    # A loaded machine may take many seconds.
    for _ in $(seq 600); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
}

stop_virtual_desktop() {
    kill "$xvfb" 2>/dev/null || true
    "$source_dir/tests/support/pulse-server.sh" stop "$work/pulse" >/dev/null
    rm -rf "$work"
}
