#!/usr/bin/env bash
# The run command: installs what is missing, builds the Windows client and runs it under Wine until it exits.
# Arguments are passed on to the client. With no DISPLAY it starts its own Xvfb, with xcompmgr so that layered
# windows get real alpha, and says which display to look at. The Wine prefix, a scratch home folder and the
# client's working folder all live under .run/; the user's ~/.wine and home are left alone.
set -uo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
ROOT=$(pwd)
RUN="$ROOT/.run"
BUILD="$ROOT/build/cross"

# shellcheck source=scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh"

bash "$ROOT/scripts/setup.sh" || exit 1

mkdir -p "$RUN/logs"
lumora_build_cross "$ROOT" "$RUN/logs" lumora || exit 1

own_display=
xcompmgr_pid=
client_pid=
# shellcheck disable=SC2317 # run by the traps
cleanup()
{
    # Wine's GUI programs ignore SIGINT, so Ctrl-C ends the client through the prefix's server.
    if [ -n "$client_pid" ] && kill -0 "$client_pid" 2>/dev/null; then
        echo "run: stopping the client"
        timeout 20 wineserver -k >/dev/null 2>&1
    fi
    if [ -n "$own_display" ]; then
        # Let Wine's own processes go before their display does (only ever those of our own prefix).
        if [ "${WINEPREFIX:-}" = "$RUN/prefix" ]; then
            timeout 20 wineserver -w >/dev/null 2>&1 || timeout 20 wineserver -k >/dev/null 2>&1
        fi
        [ -n "$xcompmgr_pid" ] && kill "$xcompmgr_pid" 2>/dev/null
        lumora_stop_xvfb
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ]; then
    lumora_start_xvfb "$RUN/logs" || exit 1
    own_display=1
    xcompmgr -d "$DISPLAY" </dev/null >"$RUN/logs/xcompmgr.log" 2>&1 &
    xcompmgr_pid=$!
    echo "run: no DISPLAY, so the client runs on Xvfb display $DISPLAY (with xcompmgr)."
    echo "run: screenshot: xwd -root -display $DISPLAY | convert xwd:- shot.png"
fi

lumora_use_prefix "$RUN/prefix" "$RUN/home"
lumora_prepare_prefix "$RUN/logs" managed || exit 1

# The client keeps its diagnostic log under ./debug of its working folder.
mkdir -p "$RUN/work"
cd "$RUN/work" || exit 1
echo "run: starting $BUILD/lumora.exe; it runs until the client exits"
# In the background, so that the shell can act on Ctrl-C while it waits.
wine "$BUILD/lumora.exe" "$@" &
client_pid=$!
wait "$client_pid"
rc=$?
client_pid=
echo "run: the client exited with $rc"
exit "$rc"
