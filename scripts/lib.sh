# Shared by the scripts: the Wine prefix of the build, and an X display.
# shellcheck shell=bash

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=$root/build/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win32

xvfb_pid=""

# Starts a private Xvfb on a free display and exports DISPLAY.
start_xvfb() {
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    xvfb_pid=$!
    local number
    read -r number <"$fifo"
    rm -f "$fifo"
    export DISPLAY=":$number"
}

# Creates the prefix once, then keeps one wineserver alive for the run.
start_wine() {
    "$root/tests/wine-run" cmd /c exit >/dev/null 2>&1 || true
    wineserver -p 2>/dev/null || true
}

# Ends what this script started, and only that.
stop_all() {
    wineserver -k 2>/dev/null || true
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
}
