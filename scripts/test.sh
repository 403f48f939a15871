#!/usr/bin/env bash
# The test command. On a fresh Debian machine it installs what is missing, then:
#   1. builds the portable core natively with clang under AddressSanitizer/UndefinedBehaviorSanitizer and runs
#      its tests and those of the scripts themselves;
#   2. fuzzes the INI parser with the readers built on it, and the navigation watch, for LUMORA_FUZZ_SECONDS in all
#      (default 60; 0 skips it);
#   3. builds the client as users get it for both architectures, and checks each executable from its bytes (with its
#      version resource); builds it once more from a second copy of the tree and compares the two;
#   4. cross-builds the Windows client and its tests for the architecture this machine runs (the 32-bit one where
#      32-bit programs run, else the 64-bit one; LUMORA_ARCH forces either), and runs those under Wine in private
#      Xvfb displays with throwaway prefixes under build/; the tests that handle text run once more under a Chinese
#      locale;
#   5. runs the release command with a throwaway certificate and checks the signed files;
#   6. where the machine runs both, runs the tests that drive the real client from outside on the 64-bit client too.
# The whole run has one deadline (LUMORA_TEST_DEADLINE seconds, default 75 minutes, under CI's 90), and each step's
# time limit is cut to what is left of it. It ends with one line "N passed, N failed" (every test of every CTest run
# and every check of the executables, each fuzz run counted as one) and exits non-zero when anything failed. A
# phase that cannot produce its results counts as one failure.
set -uo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
ROOT=$(pwd)
BUILD="$ROOT/build"
LUMORA_LOGS="$BUILD/logs"
JOBS=2
mkdir -p "$LUMORA_LOGS"
if ! [[ ${LUMORA_FUZZ_SECONDS:-60} =~ ^[0-9]+$ ]]; then
    echo "LUMORA_FUZZ_SECONDS must be a whole number of seconds, not '$LUMORA_FUZZ_SECONDS'" >&2
    exit 2
fi
FUZZ_SECONDS=$((10#${LUMORA_FUZZ_SECONDS:-60})) # 10#: "08" is eight seconds, not a bad octal number
if ! [[ ${LUMORA_TEST_DEADLINE:-4500} =~ ^[0-9]+$ ]]; then
    echo "LUMORA_TEST_DEADLINE must be a whole number of seconds, not '$LUMORA_TEST_DEADLINE'" >&2
    exit 2
fi

# shellcheck source=scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh"
# shellcheck source=scripts/phases.sh
source "$ROOT/scripts/phases.sh"

teardown()
{
    lumora_stop_test_site
    lumora_stop_wineservers
    lumora_stop_xvfb
}
# shellcheck disable=SC2317 # run by the traps
on_signal()
{
    trap - INT TERM
    echo
    echo "interrupted by $1: stopping what runs"
    phases_interrupt
    teardown
    phases_summary
    exit "$2"
}
trap teardown EXIT
trap 'on_signal SIGINT 130' INT
trap 'on_signal SIGTERM 143' TERM

# Prefixes after the first of each kind are copies of a pristine one (3 s instead of 13 to 20).
export LUMORA_PREFIX_TEMPLATES=1
# The test command checks the shipped client: an operator's brand or name in the environment stays out of it.
unset LUMORA_BRAND_DIR LUMORA_OPERATOR LUMORA_SIGN_CERTIFICATE LUMORA_SIGN_PASSWORD LUMORA_SIGN_PASSWORD_FILE
phases_begin $((10#${LUMORA_TEST_DEADLINE:-4500}))

phase "setup"
if ! phase_run show "$(phases_limit 1500)" "$LUMORA_LOGS/setup.log" bash "$ROOT/scripts/setup.sh"; then
    phase_fail
    phases_summary
    exit 1
fi
if ! lumora_choose_arch; then
    phase_fail "no architecture to run"
    phases_summary
    exit 1
fi
ARCH=$LUMORA_ARCH
CROSS=$(lumora_tree cross "$ARCH")

phase "native build (clang, sanitizers)"
native_ok=
if phase_run quiet "$(phases_limit 900)" "$LUMORA_LOGS/native-build.log" bash "$ROOT/scripts/build.sh" native; then
    native_ok=1
else
    phase_fail "the build (log: $LUMORA_LOGS/native-build.log)"
fi

phase "native tests"
if [ -n "$native_ok" ]; then
    phases_ctest "native tests" "$BUILD/native" 600 --parallel "$JOBS" --timeout 300
else
    echo "skipped: the native build failed"
fi

phase "fuzzing (${FUZZ_SECONDS} s in all)"
# Two targets, half the time each: the parser with every reader built on it (seeded with the shipped documents),
# and the navigation watch's decision against the game-server test.
if [ "$FUZZ_SECONDS" -eq 0 ]; then
    echo "skipped: LUMORA_FUZZ_SECONDS=0"
else
    for target in zoini_fuzz navigation_fuzz; do
        seconds=$(((FUZZ_SECONDS + 1) / 2))
        if [ ! -x "$BUILD/native/$target" ]; then
            phase_fail "build/native/$target was not built"
            continue
        fi
        # What the fuzzer adds to a corpus stays for the next local run.
        fuzz_dir="$BUILD/fuzz/$target"
        mkdir -p "$fuzz_dir/corpus" "$fuzz_dir/artifacts"
        [ "$target" = zoini_fuzz ] && cp "$ROOT"/res/*.ini "$fuzz_dir/corpus/"
        phase_run quiet "$(phases_limit $((seconds + 120)))" "$fuzz_dir/fuzz.log" "$BUILD/native/$target" \
            -max_total_time="$seconds" -timeout=10 -artifact_prefix="$fuzz_dir/artifacts/" "$fuzz_dir/corpus"
        fuzz_rc=$?
        runs=$(grep -oE '^Done [0-9]+ runs' "$fuzz_dir/fuzz.log" | tail -n 1 | awk '{ print $2 }')
        if [ "$fuzz_rc" -eq 0 ] && [ -n "$runs" ]; then
            echo "fuzzing $target: $runs runs in $seconds s, no crash (corpus: $(find "$fuzz_dir/corpus" -type f | wc -l) inputs)"
            phase_pass
        else
            phase_fail "$target (exit $fuzz_rc; the crashing input is under $fuzz_dir/artifacts)"
        fi
    done
fi

phase "cross build (mingw-w64 $ARCH)"
cross_ok=
if phase_run quiet "$(phases_limit 1200)" "$LUMORA_LOGS/cross-$ARCH.log" bash "$ROOT/scripts/build.sh" cross \
    "$ARCH"; then
    cross_ok=1
else
    phase_fail "the build"
fi

phase "release build ($ARCH)"
# The client as users get it, for this machine's architecture: the run command's test runs it (built now, so that
# nothing else builds its tree at the same time).
if phase_run quiet "$(phases_limit 600)" "$LUMORA_LOGS/release-$ARCH.log" bash "$ROOT/scripts/build.sh" release \
    "$ARCH" lumora; then
    echo "built: release-$ARCH" >"$LUMORA_LOGS/release-built.log"
else
    : >"$LUMORA_LOGS/release-built.log"
fi

phase "builds for the later phases, in the background"
# The other architecture's client, a second copy of the tree built again for the reproducibility check, and, where
# this machine runs both architectures, the 64-bit client's tests: built one after the other at a lower priority while
# the Wine phases below run (they mostly wait on windows). Each keeps its log under build/logs; the phases that use
# them wait for them.
REPRO="$BUILD/repro/src"
rm -rf "$BUILD/repro"
mkdir -p "$REPRO"
OTHER=x86_64
[ "$ARCH" = i686 ] || OTHER=i686
later=("release $OTHER lumora")
# A second copy as a second clone would be (sources and repository, no build output), built later.
if tar -C "$ROOT" --exclude=./build --exclude=./.run -cf - . | tar -C "$REPRO" -xf -; then
    later+=("repro $ARCH lumora")
else
    phase_fail "no second copy of the tree"
fi
if [ "$ARCH" = i686 ]; then
    later+=("cross x86_64 lumora url_recorder standin_browser client_window_tests client_command_tests
        missing_piece_tests no_browser_tests journey_tests app_tests startup_tests brand_build_tests")
fi
# shellcheck disable=SC2016 # expanded by the background shell
later_builds='
    root=$1 repro=$2
    shift 2
    for build in "$@"; do
        read -r kind arch targets <<<"$(tr "\n" " " <<<"$build")"
        tree=$root name=$kind-$arch
        if [ "$kind" = repro ]; then
            tree=$repro kind=release
        fi
        # shellcheck disable=SC2086 # the targets, one word each
        if bash "$tree/scripts/build.sh" "$kind" "$arch" $targets >"$root/build/logs/$name.log" 2>&1; then
            echo "built: $name"
        else
            echo "failed: $name"
        fi
    done'
if phase_start "$(phases_limit 2400)" "$LUMORA_LOGS/later-builds.log" bash -c "$later_builds" _ "$ROOT" "$REPRO" \
    "${later[@]}"; then
    echo "started: ${#later[@]} builds (log: $LUMORA_LOGS/later-builds.log)"
else
    phase_fail "the builds did not start"
fi
# Whether a build of the background ones was made; waits for them the first time. $1: its name (release-i686, ...).
later_built()
{
    if [ -z "${later_waited:-}" ]; then
        later_waited=1
        phase_wait "$LUMORA_LOGS/later-builds.log"
        cat "$LUMORA_LOGS/later-builds.log"
    fi
    grep -qx "built: $1" "$LUMORA_LOGS/later-builds.log" "$LUMORA_LOGS/release-built.log"
}

# Makes a Wine session: the display given, a prefix under $2 named $3 (made by the recipe if it is not there yet), its
# server, and with $4 "standin" the stand-in browser of the cross tree $5 in the browser's place.
wine_session()
{
    export DISPLAY=$1
    local dir=$2 name=$3 with=${4:-} tree=${5:-}
    lumora_use_prefix "$dir/prefix$name" "$dir/home$name"
    lumora_prepare_prefix "$dir/logs$name" managed offline &&
        lumora_start_wineserver "$dir/logs$name" &&
        if [ "$with" = standin ]; then lumora_register_standin "$tree/standin_browser.dll"; fi
}

phase "Wine environment ($ARCH)"
wine_ok=
full_display=
small_display=
wine_dir="$BUILD/wine"
[ "$ARCH" = i686 ] || wine_dir="$BUILD/wine-$ARCH"
if [ -z "$cross_ok" ]; then
    echo "skipped: the cross build failed"
elif ! lumora_start_xvfb "$wine_dir/logs"; then
    phase_fail "no display"
else
    full_display=$DISPLAY
    echo "Xvfb on display $DISPLAY"
    if wine_session "$full_display" "$wine_dir" ""; then
        wine_ok=1
    else
        phase_fail "no prefix or wineserver"
    fi
fi

phase "Wine tests ($ARCH)"
if [ -n "$wine_ok" ]; then
    # One test at a time: the tests that drive real windows share one desktop.
    phases_ctest "Wine tests ($ARCH)" "$CROSS" 1800 --timeout 120 -LE 'journey|nobrowser'
else
    echo "skipped: no Wine environment"
fi

phase "Wine tests of the client's windows, small screens ($ARCH)"
if [ -z "$wine_ok" ]; then
    echo "skipped: no Wine environment"
elif ! lumora_start_xvfb "$wine_dir/logs-small" 1280x600; then
    phase_fail "no display"
else
    # A screen lower than the login picture (1024 x 700). Wine takes the screen's size from the display its
    # prefix's server started on, so this is a display, a prefix and a server of their own, made by the same recipe.
    small_display=$DISPLAY
    echo "small screen: Xvfb on display $DISPLAY"
    if wine_session "$small_display" "$wine_dir" "-small"; then
        phases_ctest "Wine tests, small screen ($ARCH)" "$CROSS" 600 --timeout 120 -L screen
        lumora_stop_wineserver
    else
        phase_fail "no prefix or wineserver"
    fi
    # Narrower than the picture too: only the login screen is looked at there (the game window's minimum size is
    # wider than this screen).
    if lumora_start_xvfb "$wine_dir/logs-smallest" 800x600 && wine_session "$DISPLAY" "$wine_dir" "-smallest"; then
        echo "smallest screen: Xvfb on display $DISPLAY"
        phases_ctest "login screen, 800 x 600 screen ($ARCH)" "$CROSS" 120 --timeout 120 \
            -R 'GameWindow.(LoginPictureIs|TheLoginScreensPanel|TheLoginPanel)'
        lumora_stop_wineserver
    else
        phase_fail "800 x 600: no display, prefix or wineserver"
    fi
fi

phase "The journey: stand-in browser and test site, two screens, two locales ($ARCH)"
if [ -z "$wine_ok" ]; then
    echo "skipped: no Wine environment"
elif ! lumora_start_test_site "$wine_dir/logs-site"; then
    phase_fail "the test site did not start"
else
    echo "test site on $LUMORA_STANDIN_SITE"
    for screen in "full:$full_display" "small:$small_display"; do
        name=${screen%%:*}
        if [ -z "${screen#*:}" ]; then
            phase_fail "$name screen: no display"
            continue
        fi
        # Prefixes of their own: the stand-in takes the browser's place here only.
        if wine_session "${screen#*:}" "$wine_dir" "-journey-$name" standin "$CROSS"; then
            phases_ctest "journey ($name screen, $ARCH)" "$CROSS" 300 --timeout 120 -L journey
            LC_ALL=zh_CN.UTF-8 LUMORA_EXPECT_CODE_PAGE=936 \
                phases_ctest "journey ($name screen, zh_CN, $ARCH)" "$CROSS" 300 --timeout 120 -L journey
            lumora_stop_wineserver
        else
            phase_fail "$name screen: no prefix, wineserver or stand-in"
        fi
    done
    lumora_stop_test_site
    echo "screenshots of the journey: $CROSS/screenshots/journey-*.bmp"
fi

phase "Wine tests of text, Chinese locale ($ARCH)"
if [ -n "$wine_ok" ]; then
    # LC_ALL (not LANG) gives Wine code page 936 and the Chinese language even where no Linux locale is generated;
    # the tests check that they got it.
    # The first prefix again, whose server still runs.
    export DISPLAY=$full_display
    lumora_use_prefix "$wine_dir/prefix" "$wine_dir/home"
    LC_ALL=zh_CN.UTF-8 LUMORA_EXPECT_CODE_PAGE=936 \
        phases_ctest "Wine tests of text (zh_CN, $ARCH)" "$CROSS" 900 --timeout 120 -L text
    lumora_stop_wineserver
else
    echo "skipped: no Wine environment"
fi

# Runs the tests labelled nobrowser in a throwaway prefix without the web browser's class. $1: wine folder; $2: the
# cross tree; $3: the run's name.
no_browser_tests()
{
    if wine_session "$full_display" "$1" "-nobrowser" && lumora_unregister_browser; then
        phases_ctest "$3" "$2" 120 --timeout 120 -L nobrowser
        lumora_stop_wineserver
    else
        phase_fail "no prefix without the browser's class"
    fi
}

phase "The client without its browser control ($ARCH)"
if [ -n "$wine_ok" ]; then
    no_browser_tests "$wine_dir" "$CROSS" "no browser control ($ARCH)"
else
    echo "skipped: no Wine environment"
fi

phase "release builds (optimised, stripped), both architectures"
# The client as users get it, built as the run command builds it, for both architectures on every machine; each is
# checked from its bytes: the right kind of program, a GUI one, at most 1 MiB, its manifest and every resource, its
# version resource with this commit, and no path of this tree in it.
commit=$(git -C "$ROOT" rev-parse HEAD 2>/dev/null)
for arch in i686 x86_64; do
    release=$(lumora_tree release "$arch")
    if ! later_built "release-$arch"; then
        phase_fail "the $arch build (log: $LUMORA_LOGS/release-$arch.log)"
    elif python3 "$ROOT/scripts/pe.py" inspect "$release/lumora.exe" --arch "$arch" --max-size 1048576 \
        --commit "$commit" --foreign "$ROOT"; then
        phase_pass
    else
        phase_fail "the $arch client ($release/lumora.exe)"
    fi
done

phase "reproducible release ($ARCH): the same client from a second copy of the tree"
second=
if later_built "repro-$ARCH"; then
    first="$(lumora_tree release "$ARCH")/lumora.exe"
    second="$REPRO/build/release/lumora.exe"
    [ "$ARCH" = i686 ] || second="$REPRO/build/release-$ARCH/lumora.exe"
    sha256sum "$first" "$second"
    if python3 "$ROOT/scripts/pe.py" compare "$first" "$second"; then
        phase_pass
    else
        phase_fail "the two builds differ"
    fi
    if python3 "$ROOT/scripts/pe.py" inspect "$second" --arch "$ARCH" --commit "$commit" --foreign "$ROOT" "$REPRO" \
        >/dev/null; then
        phase_pass
    else
        phase_fail "the second build ($second)"
    fi
else
    phase_fail "the second build (log: $LUMORA_LOGS/repro-$ARCH.log)"
fi

phase "release command: signing with a throwaway certificate ($ARCH)"
if [ -z "$wine_ok" ]; then
    echo "skipped: no Wine environment"
elif [ -z "$second" ]; then
    phase_fail "no second build to sign"
elif wine_session "$full_display" "$wine_dir" ""; then
    # In the first prefix: the signed client is started there.
    phases_script "release signing ($ARCH)" 600 bash "$ROOT/tests/scripts/ReleaseSigningTest.sh" "$ARCH" "$second"
    lumora_stop_wineserver
else
    phase_fail "no prefix or wineserver"
fi

if [ "$ARCH" = i686 ]; then
    # This machine runs both architectures: the 64-bit client is tested too, from outside, as users would drive it.
    phase "The 64-bit client under wine64: its windows, commands, missing pieces, no browser, the journey"
    CROSS64=$(lumora_tree cross x86_64)
    wine64_dir="$BUILD/wine-x86_64"
    if [ -z "$full_display" ]; then
        echo "skipped: no display"
    elif ! later_built cross-x86_64; then
        phase_fail "the x86_64 build (log: $LUMORA_LOGS/cross-x86_64.log)"
    else
        lumora_use_arch x86_64
        if wine_session "$full_display" "$wine64_dir" ""; then
            phases_ctest "the 64-bit client" "$CROSS64" 900 --timeout 120 -L client
            lumora_stop_wineserver
        else
            phase_fail "no 64-bit prefix or wineserver"
        fi
        no_browser_tests "$wine64_dir" "$CROSS64" "the 64-bit client without its browser control"
        if ! lumora_start_test_site "$wine64_dir/logs-site"; then
            phase_fail "the test site did not start"
        elif wine_session "$full_display" "$wine64_dir" "-journey" standin "$CROSS64"; then
            phases_ctest "journey (full screen, 64-bit client)" "$CROSS64" 300 --timeout 120 -L journey
            lumora_stop_wineserver
        else
            phase_fail "no 64-bit prefix, wineserver or stand-in for the journey"
        fi
        lumora_stop_test_site
        lumora_use_arch "$ARCH"
    fi
fi

phase "teardown"
teardown

phases_summary
