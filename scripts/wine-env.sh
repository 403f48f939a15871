# shellcheck shell=bash
# Sourced by scripts/test.sh, scripts/run.sh and scripts/skin-preview.sh: a private X display, a project-local
# Wine prefix and the wineserver that serves it, and the cross build the latter two run. Nothing here touches the user's own ~/.wine or home folder.
#
# Every wine call is wrapped in timeout and reads nothing from standard input: a program that waits for a click
# or a key under Xvfb would otherwise wait forever.

# Raise this when the way a prefix is made changes, so that prefixes made the old way are made again.
LUMORA_PREFIX_RECIPE=2

lumora_now() { date +%s.%N; }
lumora_since() { awk -v a="$1" -v b="$(lumora_now)" 'BEGIN { printf "%.1f", b - a }'; }

# Starts Xvfb on a display number it picks itself (-displayfd: no race with other servers over a free number),
# with Composite so that a compositor can give layered windows real alpha, and a window manager (openbox) on it.
# Wine's windows are managed (see lumora_prepare_prefix): the window manager keeps owned windows above their owner,
# which Wine's own stacking of unmanaged windows does not (a per-pixel-alpha window made again for its 32-bit visual
# ends up over the windows it owns). Each server gets a session of its own, so that Ctrl-C reaches the Wine programs
# but leaves their display up until they are gone. Exports DISPLAY and adds the servers' process ids to
# LUMORA_DISPLAY_PIDS. $1: folder for the logs; $2: the screen's size (default 1920x1080).
LUMORA_DISPLAY_PIDS=()
lumora_start_xvfb()
{
    local logdir=$1 size=${2:-1920x1080}
    mkdir -p "$logdir"
    local numfile="$logdir/xvfb-$size.display"
    : >"$numfile"
    setsid Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp +extension Composite \
        3>"$numfile" </dev/null >"$logdir/xvfb-$size.log" 2>&1 &
    local xvfb=$!
    LUMORA_DISPLAY_PIDS+=("$xvfb")
    local i
    for ((i = 0; i < 100; i++)); do
        if [ -s "$numfile" ]; then
            DISPLAY=":$(tr -d '[:space:]' <"$numfile")"
            export DISPLAY
            # The window manager keeps its files under a home of its own.
            mkdir -p "$logdir/wm-home"
            HOME="$logdir/wm-home" setsid openbox </dev/null >"$logdir/openbox-$size.log" 2>&1 &
            LUMORA_DISPLAY_PIDS+=("$!")
            for ((i = 0; i < 50; i++)); do
                xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
                sleep 0.1
            done
            echo "wine-env: openbox did not start on $DISPLAY; its log:" >&2
            cat "$logdir/openbox-$size.log" >&2
            lumora_stop_xvfb
            return 1
        fi
        kill -0 "$xvfb" 2>/dev/null || break
        sleep 0.1
    done
    echo "wine-env: Xvfb did not start; its log:" >&2
    cat "$logdir/xvfb-$size.log" >&2
    lumora_stop_xvfb
    return 1
}

# Stops every display lumora_start_xvfb started, window managers first.
lumora_stop_xvfb()
{
    local i
    for ((i = ${#LUMORA_DISPLAY_PIDS[@]} - 1; i >= 0; i--)); do
        kill "${LUMORA_DISPLAY_PIDS[$i]}" 2>/dev/null
        wait "${LUMORA_DISPLAY_PIDS[$i]}" 2>/dev/null
    done
    LUMORA_DISPLAY_PIDS=()
}

# Points Wine at a prefix and a scratch home of our own: the prefix links the Windows desktop and documents
# folders into $HOME, so a home of our own keeps shortcuts and menu entries out of the real one.
# $1: prefix folder, $2: home folder.
lumora_use_prefix()
{
    # An X server that wants a cookie finds it through XAUTHORITY, which by default lives in the real home.
    if [ -z "${XAUTHORITY:-}" ] && [ -f "${HOME:-/nonexistent}/.Xauthority" ]; then
        export XAUTHORITY="$HOME/.Xauthority"
    fi
    export WINEPREFIX=$1
    export HOME=$2
    export WINEDEBUG=-all
    # The menu builder would write .desktop files and icons for every shortcut a test makes.
    export WINEDLLOVERRIDES="winemenubuilder.exe=d"
    mkdir -p "$HOME"
}

# Lists the top-level windows that carry a name, for a diagnosis when something waits.
lumora_list_windows()
{
    if command -v xwininfo >/dev/null; then
        xwininfo -root -children 2>/dev/null | grep -E '^ +0x' | grep -v 'has no name' >&2
    fi
}

# Makes sure WINEPREFIX holds a complete prefix made by this recipe, for this Wine, home and place; otherwise
# makes it anew (12-20 s). $1: folder for logs; $2: "managed" or "unmanaged" windows (the X11 driver's
# Managed setting: without a window manager, destroying a managed visible window costs 2 s); $3: "online", or
# "offline" for a prefix whose web traffic goes to a closed port on the loopback interface (the tests': the
# client's real site addresses are looked up nowhere).
lumora_prepare_prefix()
{
    local logdir=$1 managed=$2 network=${3:-online}
    local stamp="$WINEPREFIX/.lumora-prefix"
    local want
    want="recipe=$LUMORA_PREFIX_RECIPE wine=$(timeout 30 wine --version) home=$HOME prefix=$WINEPREFIX windows=$managed"
    want="$want network=$network"
    if [ -f "$stamp" ] && [ -f "$WINEPREFIX/system.reg" ] && [ "$(cat "$stamp")" = "$want" ]; then
        echo "wine-env: reusing prefix $WINEPREFIX"
        return 0
    fi

    echo "wine-env: creating prefix $WINEPREFIX"
    mkdir -p "$logdir"
    timeout 30 wineserver -k >/dev/null 2>&1
    rm -rf "$WINEPREFIX"

    # mscoree and mshtml stay off while the prefix is made: registering them is what would offer to download
    # the .NET and HTML engines in a dialog that waits for a click, on Wine builds that know where to get them.
    local started
    started=$(lumora_now)
    WINEDLLOVERRIDES="mscoree,mshtml=;$WINEDLLOVERRIDES" timeout 240 wineboot -i </dev/null \
        >"$logdir/wineboot-init.log" 2>&1 &
    local boot=$!
    # Watch for such a window all the same, and stop at once rather than wait out the timeout.
    while kill -0 "$boot" 2>/dev/null; do
        if command -v xwininfo >/dev/null &&
            xwininfo -root -children 2>/dev/null | grep -qiE '"[^"]*(gecko|mono|install)[^"]*"'; then
            echo "wine-env: an installer window appeared while the prefix was made:" >&2
            lumora_list_windows
            kill "$boot" 2>/dev/null
            timeout 30 wineserver -k >/dev/null 2>&1
            return 1
        fi
        sleep 0.5
    done
    if ! wait "$boot"; then
        echo "wine-env: wineboot -i failed; its log:" >&2
        cat "$logdir/wineboot-init.log" >&2
        lumora_list_windows
        return 1
    fi
    echo "wine-env: wineboot -i took $(lumora_since "$started") s"

    local reg_log="$logdir/prefix-registry.log"
    : >"$reg_log"
    local -a settings=(
        # A crash would otherwise open the debugger's dialog and wait for a click.
        "HKCU\\Software\\Wine\\WineDbg|ShowCrashDialog|REG_DWORD|0"
    )
    if [ "$managed" = unmanaged ]; then
        settings+=("HKCU\\Software\\Wine\\X11 Driver|Managed|REG_SZ|N")
    fi
    if [ "$network" = offline ]; then
        # Every address through a proxy on a port where nothing listens: the browser control starts its loads and
        # they fail at once, without a name lookup or a packet leaving the machine.
        settings+=(
            "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings|ProxyEnable|REG_DWORD|1"
            "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings|ProxyServer|REG_SZ|127.0.0.1:9"
        )
    fi
    local s key value type data
    for s in "${settings[@]}"; do
        IFS='|' read -r key value type data <<<"$s"
        if ! timeout 60 wine reg add "$key" /v "$value" /t "$type" /d "$data" /f </dev/null >>"$reg_log" 2>&1; then
            echo "wine-env: could not set $key $value; log:" >&2
            cat "$reg_log" >&2
            return 1
        fi
    done
    # Now register the HTML engine after all (the browser control needs its classes, content types and
    # protocols), with the download addresses gone so that no Wine build can offer a download here.
    timeout 60 wine reg delete 'HKCU\Software\Wine\MSHTML' /v GeckoUrl /f </dev/null >>"$reg_log" 2>&1
    timeout 60 wine reg delete 'HKCU\Software\Wine\Dotnet' /v MonoUrl /f </dev/null >>"$reg_log" 2>&1
    if ! timeout 120 wine regsvr32 /s mshtml.dll </dev/null >>"$reg_log" 2>&1; then
        echo "wine-env: could not register mshtml.dll; log:" >&2
        cat "$reg_log" >&2
        return 1
    fi
    # Let the server write the registry out and exit before the stamp says the prefix is complete.
    timeout 60 wineserver -w
    echo "$want" >"$stamp"
    echo "wine-env: prefix ready after $(lumora_since "$started") s"
}

# Starts one persistent wineserver for the prefix and warms it up. The warm-up matters: Wine's service
# processes (services, explorer, plugplay, winedevice) start under the first program of a new server and keep
# its standard output open; if that first program were a test run by CTest they would hold CTest's pipe and
# CTest would wait forever. Started here with their output on a file, they are shared by every later program,
# which then starts in about 0.1 s instead of 2.5 s. $1: folder for logs.
lumora_start_wineserver()
{
    local logdir=$1
    mkdir -p "$logdir"
    # A server left over from an interrupted run may still be tied to a display that is gone.
    timeout 30 wineserver -k >/dev/null 2>&1
    timeout 60 wineserver -w >/dev/null 2>&1
    if ! timeout 30 wineserver -p </dev/null >"$logdir/wineserver.log" 2>&1; then
        echo "wine-env: wineserver did not start" >&2
        cat "$logdir/wineserver.log" >&2
        return 1
    fi
    LUMORA_WINESERVER_STARTED=1
    if ! timeout 120 wine wineboot </dev/null >"$logdir/wineboot-warmup.log" 2>&1; then
        echo "wine-env: warming up the wineserver failed; log:" >&2
        cat "$logdir/wineboot-warmup.log" >&2
        lumora_list_windows
        return 1
    fi
}

lumora_stop_wineserver()
{
    if [ -n "${LUMORA_WINESERVER_STARTED:-}" ] && [ -n "${WINEPREFIX:-}" ]; then
        timeout 30 wineserver -k >/dev/null 2>&1
        LUMORA_WINESERVER_STARTED=
    fi
}

# Configures build/cross (anew if it was made with another generator) and builds the targets given, quietly
# unless it fails. $1: root of the tree, $2: folder for the configure log; the rest: targets. With
# LUMORA_BUILD=release it is build/release instead: optimised for size and stripped, as users get the client.
lumora_build_cross()
{
    local root=$1 logdir=$2
    shift 2
    local build="$root/build/cross"
    local -a options=()
    if [ "${LUMORA_BUILD:-}" = release ]; then
        build="$root/build/release"
        options=(-DCMAKE_BUILD_TYPE=MinSizeRel "-DCMAKE_EXE_LINKER_FLAGS=-static -s" "-DCMAKE_SHARED_LINKER_FLAGS=-static -s")
    fi
    if [ -f "$build/CMakeCache.txt" ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$build/CMakeCache.txt"; then
        rm -rf "$build"
    fi
    if ! cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" "${options[@]}" \
        >"$logdir/configure.log" 2>&1; then
        cat "$logdir/configure.log"
        return 1
    fi
    cmake --build "$build" --parallel 2 --target "$@"
}

# Puts the test-only stand-in for the web browser control in the WebBrowser class's place, in WINEPREFIX only:
# Wine reads in-process servers from the machine's classes (HKLM), and only after the prefix is made (wineboot -u
# would write Wine's own registration back). $1: the stand-in's DLL (a Linux path).
lumora_register_standin()
{
    local dll
    dll="Z:$(tr '/' '\\' <<<"$1")"
    local key='HKLM\Software\Classes\CLSID\{8856F961-340A-11D0-A96B-00C04FD705A2}\InprocServer32'
    timeout 60 wine reg add "$key" /ve /d "$dll" /f </dev/null >/dev/null 2>&1 &&
        timeout 60 wine reg add "$key" /v ThreadingModel /d Apartment /f </dev/null >/dev/null 2>&1
}

# Starts the test site of the journey and the demo on a free port of the loopback interface, and exports
# LUMORA_STANDIN_SITE (127.0.0.1:port) for the stand-in browser. Sets LUMORA_SITE_PID. $1: folder for its log.
lumora_start_test_site()
{
    local logdir=$1 root
    root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
    mkdir -p "$logdir"
    rm -f "$logdir/site.port"
    python3 "$root/tests/journey/site.py" --port-file "$logdir/site.port" </dev/null >"$logdir/site.log" 2>&1 &
    LUMORA_SITE_PID=$!
    local i
    for ((i = 0; i < 100; i++)); do
        if [ -s "$logdir/site.port" ]; then
            export LUMORA_STANDIN_SITE="127.0.0.1:$(cat "$logdir/site.port")"
            return 0
        fi
        kill -0 "$LUMORA_SITE_PID" 2>/dev/null || break
        sleep 0.1
    done
    echo "wine-env: the test site did not start; its log:" >&2
    cat "$logdir/site.log" >&2
    return 1
}

lumora_stop_test_site()
{
    if [ -n "${LUMORA_SITE_PID:-}" ]; then
        kill "$LUMORA_SITE_PID" 2>/dev/null
        wait "$LUMORA_SITE_PID" 2>/dev/null
        LUMORA_SITE_PID=
    fi
}
