#!/usr/bin/env bash
# The run command: installs what is missing, builds the Windows client and runs it under Wine.
#   With a display (DISPLAY set): the client runs there until the user ends it.
#   Without one: it runs on an Xvfb display of its own (with a window manager), the command waits for the login
#   screen, saves a screenshot of it, prints the screenshot's path and ends the client cleanly (as closing its
#   window does).
# With LUMORA_DEMO=1 the web is the tests' own: a stand-in for the browser control (Wine's has no HTML engine here)
# and a small site on the loopback interface with a login page, a "log in" link that leads to a game server, and a
# way back, so that the whole journey can be seen on Linux. The client is the same executable; only its prefix
# differs (.run/prefix-demo).
# Arguments are passed on to the client. The Wine prefix, a scratch home folder, the client's working folder and the
# screenshot all live under .run/; the user's ~/.wine and home are left alone.
set -uo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
ROOT=$(pwd)
RUN="$ROOT/.run"
# The client as users get it: optimised and stripped.
export LUMORA_BUILD=release
BUILD="$ROOT/build/release"

# shellcheck source=scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh"

bash "$ROOT/scripts/setup.sh" || exit 1

mkdir -p "$RUN/logs"
demo=${LUMORA_DEMO:-}
if [ -n "$demo" ]; then
    lumora_build_cross "$ROOT" "$RUN/logs" lumora standin_browser || exit 1
else
    lumora_build_cross "$ROOT" "$RUN/logs" lumora || exit 1
fi

own_display=
client_pid=
# shellcheck disable=SC2317 # run by the traps
cleanup()
{
    lumora_stop_test_site
    # Wine's GUI programs ignore SIGINT, so Ctrl-C ends the client through the prefix's server.
    if [ -n "$client_pid" ] && kill -0 "$client_pid" 2>/dev/null; then
        echo "run: stopping the client"
        timeout 20 wineserver -k >/dev/null 2>&1
    fi
    if [ -n "$own_display" ]; then
        # Let Wine's own processes go before their display does (only ever those of our own prefix).
        if [ "${WINEPREFIX:-}" = "$RUN/prefix" ] || [ "${WINEPREFIX:-}" = "$RUN/prefix-demo" ]; then
            timeout 20 wineserver -w >/dev/null 2>&1 || timeout 20 wineserver -k >/dev/null 2>&1
        fi
        lumora_stop_xvfb
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ]; then
    lumora_start_xvfb "$RUN/logs" || exit 1
    own_display=1
    echo "run: no DISPLAY, so the client runs on Xvfb display $DISPLAY"
fi

if [ -n "$demo" ]; then
    lumora_use_prefix "$RUN/prefix-demo" "$RUN/home-demo"
    lumora_prepare_prefix "$RUN/logs" managed offline || exit 1
    lumora_register_standin "$BUILD/standin_browser.dll" || exit 1
    lumora_start_test_site "$RUN/logs" || exit 1
    echo "run: demo: the test site is on $LUMORA_STANDIN_SITE; click \"Log in\" on the login page"
else
    lumora_use_prefix "$RUN/prefix" "$RUN/home"
    lumora_prepare_prefix "$RUN/logs" managed || exit 1
fi

# The client keeps its diagnostic log under ./debug of its working folder.
mkdir -p "$RUN/work"
cd "$RUN/work" || exit 1
# In the background, so that the shell can act on Ctrl-C while it waits.
if [ -z "$own_display" ]; then
    echo "run: starting $BUILD/lumora.exe; it runs until the client exits"
    wine "$BUILD/lumora.exe" "$@" &
    client_pid=$!
    wait "$client_pid"
    rc=$?
    client_pid=
    echo "run: the client exited with $rc"
    exit "$rc"
fi

echo "run: starting $BUILD/lumora.exe"
wine "$BUILD/lumora.exe" "$@" </dev/null >"$RUN/logs/client.log" 2>&1 &
client_pid=$!
# The login screen is up when both of the client's windows are on the screen.
for _ in $(seq 1 120); do
    windows=$(xwininfo -root -children 2>/dev/null)
    if grep -q '"Web": ("lumora.exe"' <<<"$windows" && grep -q '"Lumora[^"]*": ("lumora.exe"' <<<"$windows"; then
        break
    fi
    kill -0 "$client_pid" 2>/dev/null || break
    sleep 0.5
done
sleep 2 # its first paints
mkdir -p "$RUN/screenshots"
shot="$RUN/screenshots/login-$(date +%Y%m%d-%H%M%S).png"
if import -window root "$shot" 2>"$RUN/logs/import.log"; then
    echo "run: screenshot of the login screen: $shot"
else
    echo "run: no screenshot (see $RUN/logs/import.log)" >&2
fi
# Ended as a user ends it: a close request to the main window, which ends its modal run and the process.
wmctrl -c Lumora >/dev/null 2>&1
for _ in $(seq 1 40); do
    kill -0 "$client_pid" 2>/dev/null || break
    sleep 0.25
done
if kill -0 "$client_pid" 2>/dev/null; then
    echo "run: the client did not end after its window was closed" >&2
    exit 1
fi
wait "$client_pid"
rc=$?
client_pid=
echo "run: the client exited with $rc"
exit "$rc"
