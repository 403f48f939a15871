#!/usr/bin/env bash
# The run command: installs what is missing, builds the Windows client and runs it under Wine.
#   With a display (DISPLAY set): the client runs there until the user ends it.
#   Without one: it runs on an Xvfb display of its own (with a window manager), the command waits for the login
#   screen, saves a screenshot of it, prints the screenshot's path and ends the client cleanly (as closing its
#   window does). A client that ends or shows no login screen within a minute fails the command, with the end of
#   the client's log.
# The 32-bit client runs where this machine runs 32-bit programs, the 64-bit one under wine64 where it cannot;
# LUMORA_ARCH=i686 or x86_64 forces either.
# With LUMORA_DEMO=1 the web is the tests' own: a stand-in for the browser control (Wine's has no HTML engine here)
# and a small site on the loopback interface with a login page, a "log in" link that leads to a game server, and a
# way back, so that the whole journey can be seen on Linux. The client is the same executable; only its prefix
# differs (.run/sessions/prefix-demo). LUMORA_DEMO=offline is the demo with no site to reach: the client's own page for a
# server that cannot be reached.
# Arguments are passed on to the client. The Wine session (scripts/session.sh: prefix, scratch home), the client's
# working folder and the screenshot all live under .run/ (LUMORA_RUN_DIR names another folder); the user's ~/.wine and home are left alone.
# LUMORA_RUN_CLIENT runs another Windows program in the client's place (the scripts' own tests use it).
set -uo pipefail

# A brand folder given relatively is the operator's, from the folder the command was run in.
if [ -n "${LUMORA_BRAND_DIR:-}" ]; then
    LUMORA_BRAND_DIR=$(realpath -m -- "$LUMORA_BRAND_DIR")
    export LUMORA_BRAND_DIR
fi
cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
ROOT=$(pwd)
RUN=${LUMORA_RUN_DIR:-$ROOT/.run}
mkdir -p "$RUN/logs" || exit 1
RUN=$(cd "$RUN" && pwd)

# shellcheck source=scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh"

bash "$ROOT/scripts/setup.sh" || exit 1
lumora_choose_arch || exit 1

# The client as users get it: optimised and stripped.
BUILD=$(lumora_tree release "$LUMORA_ARCH")
demo=${LUMORA_DEMO:-}
targets=(lumora)
[ -n "$demo" ] && targets+=(standin_browser)
lumora_build release "$LUMORA_ARCH" "$RUN/logs/build-$LUMORA_ARCH.log" "${targets[@]}" || exit 1
CLIENT=${LUMORA_RUN_CLIENT:-$BUILD/lumora.exe}
CLIENT_NAME=$(basename "$CLIENT")

own_display=
client_pid=
session=
# shellcheck disable=SC2317 # run by the traps
cleanup()
{
    # Wine's GUI programs ignore SIGINT, so Ctrl-C ends the client through the prefix's server, which stopping the
    # session ends (and with it the display it started, never the user's).
    if [ -n "$client_pid" ] && kill -0 "$client_pid" 2>/dev/null; then
        echo "run: stopping the client"
    fi
    [ -n "$session" ] && bash "$ROOT/scripts/session.sh" stop "$session"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

options=(--arch "$LUMORA_ARCH")
if [ -n "${DISPLAY:-}" ]; then
    if ! xdpyinfo >/dev/null 2>&1; then
        echo "run: DISPLAY=$DISPLAY cannot be reached; unset DISPLAY to run the client on a display of its own" >&2
        exit 1
    fi
    options+=(--display "$DISPLAY")
else
    own_display=1
fi

# A session per kind and architecture: the prefix's stamp would make one prefix anew at every switch.
name=client
[ -n "$demo" ] && name=demo
[ "$LUMORA_ARCH" = i686 ] || name="$name-$LUMORA_ARCH"
if [ -z "$demo" ]; then
    options+=(--online)
elif [ "$demo" = offline ]; then
    options+=(--standin "$BUILD/standin_browser.dll")
else
    options+=(--standin "$BUILD/standin_browser.dll" --site)
fi
session="$RUN/sessions/$name"
bash "$ROOT/scripts/session.sh" start "$session" "${options[@]}" || exit 1
# shellcheck disable=SC1091
source "$session/session.env"
[ -n "$own_display" ] && echo "run: no DISPLAY, so the client runs on Xvfb display $DISPLAY"
if [ "$demo" = offline ]; then
    # The site's port on the loopback interface with nothing listening: no server can be reached.
    export LUMORA_STANDIN_SITE=127.0.0.1:9
    echo "run: demo without the test site: the client's own page for a server that cannot be reached"
elif [ -n "$demo" ]; then
    echo "run: demo: the test site is on $LUMORA_STANDIN_SITE; click \"Log in\" on the login page"
fi

# The client keeps its diagnostic log under ./debug of its working folder.
mkdir -p "$RUN/work"
cd "$RUN/work" || exit 1
# In the background, so that the shell can act on Ctrl-C while it waits.
if [ -z "$own_display" ]; then
    echo "run: starting $CLIENT; it runs until the client exits"
    "$LUMORA_WINE" "$CLIENT" "$@" &
    client_pid=$!
    wait "$client_pid"
    rc=$?
    client_pid=
    echo "run: the client exited with $rc"
    exit "$rc"
fi

log="$RUN/logs/client.log"
echo "run: starting $CLIENT"
"$LUMORA_WINE" "$CLIENT" "$@" </dev/null >"$log" 2>&1 &
client_pid=$!

# The X window of the client's login screen: the main window, which owns the window titled "Web" (Wine marks an owned
# window transient for its owner's). Found by that link rather than by title, so that a message box bearing the
# product's name is never taken for it.
login_screen()
{
    local web owner
    web=$(xwininfo -root -tree 2>/dev/null |
        grep -E "^ +0x[0-9a-f]+ \"Web\": \(\"$CLIENT_NAME\"" | awk '{ print $1 }' | head -n 1)
    [ -n "$web" ] || return 1
    xwininfo -id "$web" 2>/dev/null | grep -q 'Map State: IsViewable' || return 1
    owner=$(xprop -id "$web" WM_TRANSIENT_FOR 2>/dev/null | grep -oE '0x[0-9a-f]+$')
    [ -n "$owner" ] || return 1
    xwininfo -id "$owner" 2>/dev/null | grep -q 'Map State: IsViewable' || return 1
    echo "$owner"
}

main=
for _ in $(seq 1 120); do
    main=$(login_screen) && break
    kill -0 "$client_pid" 2>/dev/null || break
    sleep 0.5
done
if [ -z "$main" ]; then
    if kill -0 "$client_pid" 2>/dev/null; then
        echo "run: the client showed no login screen within 60 s; its windows:" >&2
        lumora_list_windows
    else
        wait "$client_pid"
        rc=$?
        client_pid=
        echo "run: the client ended with $rc before its login screen appeared" >&2
    fi
    echo "run: the end of the client's log ($log):" >&2
    tail -n 30 "$log" >&2
    exit 1
fi
sleep 2 # its first paints
mkdir -p "$RUN/screenshots"
shot="$RUN/screenshots/login-$(date +%Y%m%d-%H%M%S).png"
if ! import -window root "$shot" 2>"$RUN/logs/import.log"; then
    echo "run: no screenshot of the login screen; import said:" >&2
    cat "$RUN/logs/import.log" >&2
    exit 1
fi
echo "run: screenshot of the login screen: $shot"
# Ended as a user ends it: a close request to the main window, which ends its modal run and the process.
wmctrl -i -c "$main" >/dev/null 2>&1
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
