# shellcheck shell=bash
# Sourced by the scripts that run the client or its tests under Wine: which Windows architecture runs on this machine,
# private X displays, project-local Wine prefixes and the wineservers that serve them, and the cross builds. Nothing
# here touches the user's own ~/.wine or home folder.
#
# Every wine call is wrapped in timeout and reads nothing from standard input: a program that waits for a click
# or a key under Xvfb would otherwise wait forever.

# Raise this when the way a prefix is made changes, so that prefixes made the old way are made again.
LUMORA_PREFIX_RECIPE=3

lumora_now() { date +%s.%N; }
lumora_since() { awk -v a="$1" -v b="$(lumora_now)" 'BEGIN { printf "%.1f", b - a }'; }

# --- The architecture -------------------------------------------------------------------------------------------
#
# The client users get is the 32-bit one (i686, PE32), run by Wine's 32-bit loader. Some machines of this kind cannot
# run any 32-bit Linux program ("Exec format error", the loader included); there the 64-bit client (x86_64, PE32+)
# runs under wine64 instead. Which kind this machine is, is found out by running a 32-bit program, the loader itself:
# kernel settings do not tell.

# Chooses the architecture the Wine part runs, says which and why in one line, and sets it up (lumora_use_arch).
# LUMORA_ARCH=i686 or x86_64 forces a choice; LUMORA_PROBE_32BIT names the 32-bit program run to find out (default:
# Wine's 32-bit loader). Returns 1, with one line, on a LUMORA_ARCH it does not know.
lumora_choose_arch()
{
    local probe=${LUMORA_PROBE_32BIT:-/usr/lib/wine/wine} out
    case "${LUMORA_ARCH:-}" in
    i686 | x86_64)
        echo "wine-env: LUMORA_ARCH=$LUMORA_ARCH, so the $(lumora_arch_words "$LUMORA_ARCH")"
        ;;
    "")
        if out=$("$probe" --version 2>&1 </dev/null); then
            LUMORA_ARCH=i686
            echo "wine-env: this machine runs 32-bit programs ($probe --version: $(head -n 1 <<<"$out")), so the" \
                "$(lumora_arch_words i686)"
        else
            LUMORA_ARCH=x86_64
            # The shell's own words for a program it could not start, without its "bash: line N:" in front.
            out=$(head -n 1 <<<"$out" | sed -E 's/^[^:]*: line [0-9]+: //')
            echo "wine-env: this machine cannot run 32-bit programs (${out:-$probe --version failed}), so the" \
                "$(lumora_arch_words x86_64)"
        fi
        ;;
    *)
        echo "wine-env: LUMORA_ARCH must be i686 or x86_64, not '$LUMORA_ARCH'" >&2
        return 1
        ;;
    esac
    export LUMORA_ARCH
    lumora_use_arch "$LUMORA_ARCH"
}

lumora_arch_words()
{
    case $1 in
    i686) echo "32-bit client (i686) runs under wine" ;;
    x86_64) echo "64-bit client (x86_64) runs under wine64" ;;
    esac
}

# Makes every later Wine call of these scripts use the loader and server of the architecture given ($1: i686 or
# x86_64), and the kind of prefix it needs. Wine runs under its own name: the 64-bit loader started under the name
# "wine" takes itself for the 32-bit one when it starts a program by bare name ("could not exec the wine loader").
# One wineserver serves both kinds of loader; the 64-bit one is there on every machine this project sets up.
lumora_use_arch()
{
    local arch=$1 wine arch_kind var
    case $arch in
    i686) wine=/usr/lib/wine/wine arch_kind=win32 ;;
    x86_64) wine=/usr/lib/wine/wine64 arch_kind=win64 ;;
    *)
        echo "wine-env: no such architecture: '$arch'" >&2
        return 1
        ;;
    esac
    # A WINEARCH, WINELOADER or WINESERVER of the user's would otherwise fail deep inside wineboot.
    local -A wanted=([WINEARCH]=$arch_kind [WINELOADER]=$wine [WINESERVER]=/usr/lib/wine/wineserver64)
    for var in WINEARCH WINELOADER WINESERVER; do
        if [ -n "${!var:-}" ] && [ "${!var}" != "${wanted[$var]}" ] && [ -z "${LUMORA_WINE_SET:-}" ]; then
            echo "wine-env: your $var=${!var} is set aside: these scripts choose Wine by architecture" \
                "(LUMORA_ARCH=i686 or x86_64 forces one)"
        fi
        export "$var=${wanted[$var]}"
    done
    LUMORA_WINE=$wine
    LUMORA_WINESERVER=${wanted[WINESERVER]}
    LUMORA_WINE_SET=1
}

# The folder of a build ($1: cross, the tests' tree, or release, the client as users get it) for an architecture ($2):
# build/cross and build/release for the 32-bit client, build/cross-x86_64 and build/release-x86_64 for the 64-bit one.
lumora_tree()
{
    local root kind=$1 arch=$2
    root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
    if [ "$arch" = i686 ]; then
        echo "$root/build/$kind"
    else
        echo "$root/build/$kind-$arch"
    fi
}

# Builds a tree with scripts/build.sh, its output in a log shown only when it fails. $1: cross or release (optimised
# for size and stripped, as users get the client); $2: the architecture; $3: the log; the rest: targets.
lumora_build()
{
    local kind=$1 arch=$2 log=$3 root
    shift 3
    root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
    mkdir -p "$(dirname "$log")"
    if ! bash "$root/scripts/build.sh" "$kind" "$arch" "$@" </dev/null >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "wine-env: the $kind build ($arch) failed; its log: $log" >&2
        return 1
    fi
}

# --- Displays -----------------------------------------------------------------------------------------------------

# Starts Xvfb on a display number it picks itself (-displayfd: no race with other servers over a free number),
# with Composite so that a compositor can give layered windows real alpha, and a window manager (openbox) on it.
# Wine's windows are managed (see lumora_prepare_prefix): the window manager keeps owned windows above their owner,
# which Wine's own stacking of unmanaged windows does not (a per-pixel-alpha window made again for its 32-bit visual
# ends up over the windows it owns). Each server gets a session of its own, so that Ctrl-C reaches the Wine programs
# but leaves their display up until they are gone. Exports DISPLAY and adds the servers' process ids to
# LUMORA_DISPLAY_PIDS; a display that fails to start stops what it started, and nothing else. $1: folder for the
# logs; $2: the screen's size (default 1920x1080).
LUMORA_DISPLAY_PIDS=()
lumora_start_xvfb()
{
    local logdir=$1 size=${2:-1920x1080}
    mkdir -p "$logdir"
    local numfile="$logdir/xvfb-$size.display"
    : >"$numfile"
    setsid Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp +extension Composite \
        3>"$numfile" </dev/null >"$logdir/xvfb-$size.log" 2>&1 &
    local xvfb=$! wm i
    for ((i = 0; i < 100; i++)); do
        [ -s "$numfile" ] && break
        kill -0 "$xvfb" 2>/dev/null || break
        sleep 0.1
    done
    if ! [ -s "$numfile" ]; then
        echo "wine-env: Xvfb ($size) did not start; its log:" >&2
        cat "$logdir/xvfb-$size.log" >&2
        lumora_stop_pids "$xvfb"
        return 1
    fi
    local display=":$(tr -d '[:space:]' <"$numfile")"
    # The window manager keeps its files under a home of its own. A busy machine may take a while to start it.
    mkdir -p "$logdir/wm-home"
    DISPLAY=$display HOME="$logdir/wm-home" setsid openbox </dev/null >"$logdir/openbox-$size.log" 2>&1 &
    wm=$!
    for ((i = 0; i < 200; i++)); do
        if DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
            LUMORA_DISPLAY_PIDS+=("$xvfb" "$wm")
            export DISPLAY=$display
            return 0
        fi
        kill -0 "$wm" 2>/dev/null || break
        sleep 0.1
    done
    echo "wine-env: openbox did not start on $display; its log:" >&2
    cat "$logdir/openbox-$size.log" >&2
    lumora_stop_pids "$wm" "$xvfb"
    return 1
}

# Stops the processes given, in that order, and waits for them.
lumora_stop_pids()
{
    local pid
    for pid in "$@"; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
}

# Stops every display lumora_start_xvfb started, window managers first.
lumora_stop_xvfb()
{
    local i
    for ((i = ${#LUMORA_DISPLAY_PIDS[@]} - 1; i >= 0; i--)); do
        lumora_stop_pids "${LUMORA_DISPLAY_PIDS[$i]}"
    done
    LUMORA_DISPLAY_PIDS=()
}

# Lists the top-level windows that carry a name, for a diagnosis when something waits.
lumora_list_windows()
{
    if command -v xwininfo >/dev/null; then
        xwininfo -root -tree 2>/dev/null | grep -E '^ +0x' | grep -v 'has no name' >&2
    fi
}

# --- Prefixes and servers -----------------------------------------------------------------------------------------

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

# The ids of the top-level windows whose class is a Windows program's (Wine names the class after the executable)
# and whose title names an installer of Wine's, on DISPLAY.
lumora_installer_windows()
{
    command -v xwininfo >/dev/null || return 0
    xwininfo -root -tree 2>/dev/null |
        grep -iE '^ +0x[0-9a-f]+ "[^"]*(gecko|mono|install)[^"]*": \("[^"]*\.exe"' | awk '{ print $1 }'
}

# Makes sure WINEPREFIX holds a complete prefix made by this recipe, for this Wine, architecture, home and place;
# otherwise makes it anew (12-20 s). $1: folder for logs; $2: "managed" or "unmanaged" windows (the X11 driver's
# Managed setting: without a window manager, destroying a managed visible window costs 2 s); $3: "online", or
# "offline" for a prefix whose web traffic goes to a closed port on the loopback interface (the tests': the
# client's real site addresses are looked up nowhere). With LUMORA_PREFIX_TEMPLATES set, a new prefix is a copy of
# a pristine one made once beside it by the same recipe (template-<windows>-<network>): a copy takes 3 s.
lumora_prepare_prefix()
{
    local logdir=$1 managed=$2 network=${3:-online}
    local stamp="$WINEPREFIX/.lumora-prefix"
    local recipe want
    recipe="recipe=$LUMORA_PREFIX_RECIPE wine=$(timeout 30 "$LUMORA_WINE" --version) arch=$WINEARCH"
    recipe="$recipe windows=$managed network=$network"
    want="$recipe home=$HOME prefix=$WINEPREFIX"
    if [ -f "$stamp" ] && [ -f "$WINEPREFIX/system.reg" ] && [ "$(cat "$stamp")" = "$want" ]; then
        echo "wine-env: reusing prefix $WINEPREFIX"
        return 0
    fi
    timeout 30 "$LUMORA_WINESERVER" -k >/dev/null 2>&1
    rm -rf "$WINEPREFIX"
    if [ -z "${LUMORA_PREFIX_TEMPLATES:-}" ]; then
        echo "wine-env: creating prefix $WINEPREFIX"
        lumora_make_prefix "$logdir" "$managed" "$network" || return 1
        echo "$want" >"$stamp"
        return 0
    fi

    local template template_home
    template="$(dirname "$WINEPREFIX")/template-$managed-$network"
    template_home="$template-home"
    if ! [ -f "$template/.lumora-template" ] || [ "$(cat "$template/.lumora-template")" != "$recipe" ]; then
        echo "wine-env: creating the template prefix $template"
        (
            export WINEPREFIX=$template HOME=$template_home
            mkdir -p "$HOME"
            timeout 30 "$LUMORA_WINESERVER" -k >/dev/null 2>&1
            rm -rf "$WINEPREFIX"
            lumora_make_prefix "$logdir" "$managed" "$network"
        ) || return 1
        echo "$recipe" >"$template/.lumora-template"
    fi
    local started
    started=$(lumora_now)
    cp -a "$template" "$WINEPREFIX" || return 1
    rm -f "$WINEPREFIX/.lumora-template"
    # The user's folders (Desktop, Documents, ...) link into the template's home: into this prefix's own instead.
    local link target
    while IFS= read -r -d '' link; do
        target=$(readlink "$link")
        ln -sfn "$HOME${target#"$template_home"}" "$link"
    done < <(find "$WINEPREFIX/drive_c/users" -type l -lname "$template_home*" -print0)
    echo "$want" >"$stamp"
    echo "wine-env: prefix $WINEPREFIX copied from the template in $(lumora_since "$started") s"
}

# Makes a prefix in WINEPREFIX, for HOME, from nothing, as lumora_prepare_prefix's arguments say.
lumora_make_prefix()
{
    local logdir=$1 managed=$2 network=$3
    mkdir -p "$logdir"

    # mscoree and mshtml stay off while the prefix is made: registering them is what would offer to download
    # the .NET and HTML engines in a dialog that waits for a click, on Wine builds that know where to get them.
    local started before
    started=$(lumora_now)
    before=$(lumora_installer_windows)
    WINEDLLOVERRIDES="mscoree,mshtml=;$WINEDLLOVERRIDES" timeout 240 "$LUMORA_WINE" wineboot -i </dev/null \
        >"$logdir/wineboot-init.log" 2>&1 &
    local boot=$!
    # Watch for such a window all the same (a new one: on a real desktop, windows that were there before are the
    # user's), and stop at once rather than wait out the timeout.
    while kill -0 "$boot" 2>/dev/null; do
        if [ -n "$(comm -13 <(sort <<<"$before") <(lumora_installer_windows | sort))" ]; then
            echo "wine-env: an installer window appeared while the prefix was made:" >&2
            lumora_list_windows
            kill "$boot" 2>/dev/null
            timeout 30 "$LUMORA_WINESERVER" -k >/dev/null 2>&1
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
        if ! timeout 60 "$LUMORA_WINE" reg add "$key" /v "$value" /t "$type" /d "$data" /f </dev/null \
            >>"$reg_log" 2>&1; then
            echo "wine-env: could not set $key $value; log:" >&2
            cat "$reg_log" >&2
            return 1
        fi
    done
    # Now register the HTML engine after all (the browser control needs its classes, content types and
    # protocols), with the download addresses gone so that no Wine build can offer a download here.
    timeout 60 "$LUMORA_WINE" reg delete 'HKCU\Software\Wine\MSHTML' /v GeckoUrl /f </dev/null >>"$reg_log" 2>&1
    timeout 60 "$LUMORA_WINE" reg delete 'HKCU\Software\Wine\Dotnet' /v MonoUrl /f </dev/null >>"$reg_log" 2>&1
    if ! timeout 120 "$LUMORA_WINE" regsvr32 /s mshtml.dll </dev/null >>"$reg_log" 2>&1; then
        echo "wine-env: could not register mshtml.dll; log:" >&2
        cat "$reg_log" >&2
        return 1
    fi
    # Let the server write the registry out and exit before the stamp says the prefix is complete.
    if ! timeout 60 "$LUMORA_WINESERVER" -w; then
        echo "wine-env: the wineserver of $WINEPREFIX did not finish within 60 s; the prefix is not marked ready" >&2
        timeout 30 "$LUMORA_WINESERVER" -k >/dev/null 2>&1
        return 1
    fi
    echo "wine-env: prefix ready after $(lumora_since "$started") s"
}

# Starts one persistent wineserver for the prefix and warms it up. The warm-up matters: Wine's service
# processes (services, explorer, plugplay, winedevice) start under the first program of a new server and keep
# its standard output open; if that first program were a test run by CTest they would hold CTest's pipe and
# CTest would wait forever. Started here with their output on a file, they are shared by every later program,
# which then starts in about 0.1 s instead of 2.5 s. Every prefix whose server it started is stopped by
# lumora_stop_wineservers. $1: folder for logs.
LUMORA_SERVER_PREFIXES=()
lumora_start_wineserver()
{
    local logdir=$1
    mkdir -p "$logdir"
    # A server left over from an interrupted run may still be tied to a display that is gone.
    timeout 30 "$LUMORA_WINESERVER" -k >/dev/null 2>&1
    timeout 60 "$LUMORA_WINESERVER" -w >/dev/null 2>&1
    if ! timeout 30 "$LUMORA_WINESERVER" -p </dev/null >"$logdir/wineserver.log" 2>&1; then
        echo "wine-env: wineserver did not start" >&2
        cat "$logdir/wineserver.log" >&2
        return 1
    fi
    LUMORA_SERVER_PREFIXES+=("$WINEPREFIX")
    if ! timeout 120 "$LUMORA_WINE" wineboot </dev/null >"$logdir/wineboot-warmup.log" 2>&1; then
        echo "wine-env: warming up the wineserver failed; log:" >&2
        cat "$logdir/wineboot-warmup.log" >&2
        lumora_list_windows
        return 1
    fi
}

# Stops the server of the current prefix, if this script started it.
lumora_stop_wineserver()
{
    local i
    for i in "${!LUMORA_SERVER_PREFIXES[@]}"; do
        if [ "${LUMORA_SERVER_PREFIXES[$i]}" = "${WINEPREFIX:-}" ]; then
            timeout 30 "$LUMORA_WINESERVER" -k >/dev/null 2>&1
            unset "LUMORA_SERVER_PREFIXES[$i]"
        fi
    done
}

# Stops the server of every prefix this script started one for.
lumora_stop_wineservers()
{
    local prefix
    for prefix in "${LUMORA_SERVER_PREFIXES[@]}"; do
        WINEPREFIX=$prefix timeout 30 "${LUMORA_WINESERVER:-wineserver}" -k >/dev/null 2>&1
    done
    LUMORA_SERVER_PREFIXES=()
}

# Puts the test-only stand-in for the web browser control in the WebBrowser class's place, in WINEPREFIX only:
# Wine reads in-process servers from the machine's classes (HKLM), and only after the prefix is made (wineboot -u
# would write Wine's own registration back). The registry view is the one the architecture's processes read (a
# 64-bit process reads the 64-bit view). $1: the stand-in's DLL (a Linux path), built for that architecture.
lumora_register_standin()
{
    local dll view=/reg:32
    dll="Z:$(tr '/' '\\' <<<"$1")"
    [ "$WINEARCH" = win64 ] && view=/reg:64
    local key='HKLM\Software\Classes\CLSID\{8856F961-340A-11D0-A96B-00C04FD705A2}\InprocServer32'
    timeout 60 "$LUMORA_WINE" reg add "$key" /ve /d "$dll" /f $view </dev/null >/dev/null 2>&1 &&
        timeout 60 "$LUMORA_WINE" reg add "$key" /v ThreadingModel /d Apartment /f $view </dev/null >/dev/null 2>&1
}

# Takes the web browser's class out of WINEPREFIX (the view the architecture's processes read), so that the client's
# browser control cannot be made there; the prefix is a throwaway one.
lumora_unregister_browser()
{
    local view=/reg:32
    [ "$WINEARCH" = win64 ] && view=/reg:64
    local key='HKLM\Software\Classes\CLSID\{8856F961-340A-11D0-A96B-00C04FD705A2}'
    # A prefix kept from an earlier session has it out already: what counts is that it is gone.
    timeout 60 "$LUMORA_WINE" reg delete "$key" /f $view </dev/null >/dev/null 2>&1
    ! timeout 60 "$LUMORA_WINE" reg query "$key" $view </dev/null >/dev/null 2>&1
}

# --- The test site ------------------------------------------------------------------------------------------------

# Starts the test site of the journey and the demo on a free port of the loopback interface, and exports
# LUMORA_STANDIN_SITE (127.0.0.1:port) for the stand-in browser. Sets LUMORA_SITE_PID. $1: folder for its log.
lumora_start_test_site()
{
    local logdir=$1 root
    root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
    mkdir -p "$logdir"
    rm -f "$logdir/site.port"
    python3 "$root/tests/doubles/site.py" --port-file "$logdir/site.port" </dev/null >"$logdir/site.log" 2>&1 &
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

# --- Programs run from a script ------------------------------------------------------------------------------------

# Runs a command under a time limit in the background and waits for it, so that the script's signal traps run at
# once: a command under timeout has a process group of its own, which Ctrl-C at the terminal does not reach, and a
# shell waiting for a foreground command runs its traps only after it. lumora_stop_running ends it from a trap.
# $1: limit in seconds; the rest: the command. Returns its status (124 when it ran out of time).
LUMORA_RUNNING=
lumora_run_limited()
{
    timeout -k 15 "$1" "${@:2}" &
    LUMORA_RUNNING=$!
    wait "$LUMORA_RUNNING"
    local rc=$?
    LUMORA_RUNNING=
    return "$rc"
}

lumora_stop_running()
{
    if [ -n "$LUMORA_RUNNING" ]; then
        kill -TERM "$LUMORA_RUNNING" 2>/dev/null
        wait "$LUMORA_RUNNING" 2>/dev/null
        LUMORA_RUNNING=
    fi
}

# --- Scripts that run programs in Wine sessions ------------------------------------------------------------------

# The start of a script that runs programs in Wine sessions of its own (scripts/session.sh: run.sh, bench.sh, soak.sh,
# skin-preview.sh): every session under its work folder's sessions/ is stopped when it ends, also on Ctrl-C or a stop
# signal; what is missing is installed; the architecture is chosen. $1: its work folder, made with its logs folder.
lumora_session_script()
{
    LUMORA_SESSION_ROOT="$1/sessions"
    trap 'lumora_stop_running; lumora_stop_sessions' EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    bash "$(dirname "${BASH_SOURCE[0]}")/setup.sh" >/dev/null || exit 1
    lumora_choose_arch || exit 1
    mkdir -p "$1/logs"
}

# Starts the session named $1 under the script's sessions folder (scripts/session.sh start, with the options that
# follow) and prints its folder; says what failed otherwise.
lumora_start_session()
{
    local dir="$LUMORA_SESSION_ROOT/$1"
    shift
    bash "$(dirname "${BASH_SOURCE[0]}")/session.sh" start "$dir" "$@" >&2 || return 1
    echo "$dir"
}

lumora_stop_sessions()
{
    local dir
    for dir in "${LUMORA_SESSION_ROOT:-/nonexistent}"/*/; do
        [ -f "$dir/pids" ] || [ -f "$dir/session.env" ] || continue
        bash "$(dirname "${BASH_SOURCE[0]}")/session.sh" stop "$dir"
    done
}
