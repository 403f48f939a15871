#!/usr/bin/env bash
# A Wine session: a private X display with a window manager, a prefix of the project's own with its server running
# and warmed up, and, as asked, the stand-in browser in the browser's place and the test site, or no browser at all.
# The one way every script and every Wine test starts Wine (CTest starts a test's session as its fixture).
#
#   session.sh start DIR [--arch i686|x86_64] [--screen WxH | --display :N] [--compositor] [--standin DLL] [--site]
#                        [--nobrowser] [--online]
#       Stops what an earlier session left in DIR, then starts one: on a display of its own of the size given (default
#       1920x1080), or on the display named (the user's, which it leaves alone), with a compositor as asked. The
#       prefix's web traffic goes to a closed port on the loopback interface unless --online. Its settings go into DIR/session.env (for a shell
#       to source: DISPLAY, WINEPREFIX, HOME, WINEARCH, LUMORA_WINE, LUMORA_STANDIN_SITE, ...), the processes it left
#       running into DIR/pids. The prefix is DIR's sibling prefix-<name> (made from a template shared by the sessions
#       beside it, or reused when it was made by the same recipe), its logs under DIR/logs. Without --arch, the
#       architecture this machine runs (wine-env.sh). Ends with 0 once everything runs.
#   session.sh stop DIR
#       Ends the session's server, site and display.
#   session.sh run DIR COMMAND...
#       Runs a command in the session.
#   session.sh wine DIR PROGRAM [ARGUMENT...]
#       Runs a Windows program in the session, under its architecture's Wine loader (the CTest emulator of the cross
#       trees, scripts/wine-run.sh, does so for each test).
set -uo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh"

usage()
{
    echo "usage: session.sh start DIR [--arch i686|x86_64] [--screen WxH | --display :N] [--compositor]" \
        "[--standin DLL] [--site] [--nobrowser] [--online]" >&2
    echo "       session.sh stop DIR | run DIR COMMAND... | wine DIR PROGRAM [ARGUMENT...]" >&2
    exit 2
}

[ $# -ge 2 ] || usage
command=$1 dir=$2
shift 2
mkdir -p "$dir" || exit 1
dir=$(cd "$dir" && pwd)

# Stops every process the session in dir recorded, last started first, and its prefix's server.
stop_session()
{
    if [ -f "$dir/session.env" ]; then
        (
            # shellcheck disable=SC1091
            source "$dir/session.env"
            timeout 30 "$LUMORA_WINESERVER" -k >/dev/null 2>&1
        )
    fi
    if [ -f "$dir/pids" ]; then
        local pid
        for pid in $(tac "$dir/pids"); do
            kill "$pid" 2>/dev/null
        done
        for pid in $(cat "$dir/pids"); do
            for _ in $(seq 1 50); do
                kill -0 "$pid" 2>/dev/null || break
                sleep 0.1
            done
            kill -KILL "$pid" 2>/dev/null
        done
    fi
    rm -f "$dir/session.env" "$dir/pids"
}

case $command in
stop)
    stop_session
    exit 0
    ;;
run | wine)
    [ $# -ge 1 ] || usage
    if [ ! -f "$dir/session.env" ]; then
        echo "session.sh: no Wine session runs in $dir (session.sh start $dir starts one)" >&2
        exit 1
    fi
    # shellcheck disable=SC1091
    source "$dir/session.env"
    if [ "$command" = wine ]; then
        exec "$LUMORA_WINE" "$@"
    fi
    exec "$@"
    ;;
start) ;;
*) usage ;;
esac

arch=${LUMORA_ARCH:-} screen=1920x1080 display= compositor= standin= site= nobrowser= network=offline
while [ $# -gt 0 ]; do
    case $1 in
    --arch)
        arch=${2:-}
        shift
        ;;
    --screen)
        screen=${2:-}
        shift
        ;;
    --standin)
        standin=${2:-}
        shift
        ;;
    --display)
        display=${2:-}
        shift
        ;;
    --compositor) compositor=1 ;;
    --online) network=online ;;
    --site) site=1 ;;
    --nobrowser) nobrowser=1 ;;
    *) usage ;;
    esac
    shift
done

stop_session
started=$(lumora_now)
if [ -n "$arch" ]; then
    LUMORA_ARCH=$arch lumora_choose_arch >/dev/null || exit 1
else
    lumora_choose_arch || exit 1
fi
name=$(basename "$dir")
logs="$dir/logs"
mkdir -p "$logs"
# Whatever fails below leaves nothing running.
failed()
{
    echo "session.sh: $*" >&2
    record_pids
    stop_session
    exit 1
}
compositor_pid=
record_pids()
{
    printf '%s\n' "${LUMORA_DISPLAY_PIDS[@]}" ${compositor_pid:+"$compositor_pid"} ${LUMORA_SITE_PID:+"$LUMORA_SITE_PID"} \
        >"$dir/pids"
}

if [ -n "$display" ]; then
    export DISPLAY=$display
    xdpyinfo >/dev/null 2>&1 || failed "DISPLAY=$display cannot be reached"
    screen=$(xdpyinfo 2>/dev/null | sed -nE 's/^ +dimensions: +([0-9]+x[0-9]+) .*/\1/p' | head -n 1)
else
    lumora_start_xvfb "$logs" "$screen" || failed "no display of $screen"
fi
if [ -n "$compositor" ]; then
    # Real alpha for layered windows, where Xvfb has the Composite extension.
    xcompmgr -d "$DISPLAY" </dev/null >"$logs/xcompmgr.log" 2>&1 &
    compositor_pid=$!
fi
record_pids
export LUMORA_PREFIX_TEMPLATES=1
lumora_use_prefix "$(dirname "$dir")/prefix-$name" "$(dirname "$dir")/home-$name"
lumora_prepare_prefix "$logs" managed "$network" >"$logs/prefix.log" 2>&1 || failed "no prefix (log: $logs/prefix.log)"
# The settings first: from here on, stop_session finds the prefix's server.
{
    for var in DISPLAY WINEPREFIX HOME WINEDEBUG WINEDLLOVERRIDES WINEARCH WINELOADER WINESERVER LUMORA_ARCH \
        LUMORA_WINE LUMORA_WINESERVER; do
        printf 'export %s=%q\n' "$var" "${!var}"
    done
    [ -n "${XAUTHORITY:-}" ] && printf 'export XAUTHORITY=%q\n' "$XAUTHORITY"
} >"$dir/session.env"
lumora_start_wineserver "$logs" || failed "the prefix's server did not start"
if [ -n "$nobrowser" ]; then
    lumora_unregister_browser || failed "the browser's class could not be taken out"
fi
if [ -n "$standin" ]; then
    lumora_register_standin "$standin" || failed "the stand-in browser $standin could not be registered"
fi
if [ -n "$site" ]; then
    lumora_start_test_site "$logs" || failed "the test site did not start"
    record_pids
    printf 'export LUMORA_STANDIN_SITE=%q\n' "$LUMORA_STANDIN_SITE" >>"$dir/session.env"
fi
echo "session.sh: $name on display $DISPLAY ($screen, $LUMORA_ARCH) in $(lumora_since "$started") s"
