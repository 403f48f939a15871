#!/usr/bin/env bash
# The test command. On a fresh Debian machine it installs what is missing, then:
#   1. builds the portable core natively with clang under AddressSanitizer/UndefinedBehaviorSanitizer and runs
#      its tests;
#   2. fuzzes the INI parser with the readers built on it, and the navigation watch, for LUMORA_FUZZ_SECONDS in all
#      (default 60; 0 skips it);
#   3. cross-builds the Windows client and its tests, and runs those under Wine in a private Xvfb display with a
#      throwaway prefix under build/wine; the tests that handle text run once more under a Chinese locale.
# It ends with one line "N passed, N failed" (every test of both CTest runs, the fuzz run counted as one) and
# exits non-zero when anything failed. Each phase that cannot produce its results counts as one failure.
set -uo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
ROOT=$(pwd)
BUILD="$ROOT/build"
FUZZ_SECONDS=${LUMORA_FUZZ_SECONDS:-60}
JOBS=2
mkdir -p "$BUILD"
if ! [[ $FUZZ_SECONDS =~ ^[0-9]+$ ]]; then
    echo "LUMORA_FUZZ_SECONDS must be a whole number of seconds, not '$FUZZ_SECONDS'" >&2
    exit 2
fi

# shellcheck source=scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh"

passed=0
failed=0
phase_names=()
phase_times=()
run_started=$(lumora_now)
phase_started=

phase()
{
    echo
    echo "=== $1"
    phase_names+=("$1")
    phase_started=$(lumora_now)
}

phase_done()
{
    phase_times+=("$(lumora_since "$phase_started")")
}

fail_phase()
{
    echo "FAILED: $1"
    failed=$((failed + 1))
}

teardown()
{
    lumora_stop_test_site
    lumora_stop_wineserver
    lumora_stop_xvfb
}
trap teardown EXIT
trap 'echo "interrupted"; exit 130' INT TERM

# Configures a tree with Ninja, starting it over if it was configured with another generator.
configure()
{
    local dir=$1
    shift
    if [ -f "$dir/CMakeCache.txt" ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$dir/CMakeCache.txt"; then
        rm -rf "$dir"
    fi
    cmake -S "$ROOT" -B "$dir" -G Ninja "$@"
}

# Runs one CTest tree, its output shown as it comes and kept in a log, and adds its counts to the totals.
# The log is followed with tail --pid rather than a pipe: a stray Wine process that kept a pipe open would keep
# the pipe's reader waiting, whereas tail stops when CTest does. $1: label, $2: tree, $3: overall time limit in
# seconds; the rest go to CTest.
run_ctest()
{
    local label=$1 dir=$2 limit=$3
    shift 3
    local log="$dir/ctest.log"
    : >"$log" # there before tail looks for it
    timeout -k 15 "$limit" ctest --test-dir "$dir" --output-on-failure "$@" </dev/null >"$log" 2>&1 &
    local pid=$!
    tail -n +1 -f --pid="$pid" "$log"
    wait "$pid"
    local rc=$?

    local summary total nfailed
    summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$summary" ]; then
        fail_phase "$label: CTest gave no summary (exit $rc)"
        return
    fi
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
    nfailed=$(sed -E 's/^[0-9]+% tests passed, ([0-9]+) .*/\1/' <<<"$summary")
    passed=$((passed + total - nfailed))
    failed=$((failed + nfailed))
    echo "$label: $((total - nfailed)) passed, $nfailed failed"
    if [ "$total" -eq 0 ]; then
        fail_phase "$label: no tests"
    elif [ "$rc" -ne 0 ] && [ "$nfailed" -eq 0 ]; then
        fail_phase "$label: CTest exited with $rc"
    fi
}

phase "setup"
if ! bash "$ROOT/scripts/setup.sh"; then
    fail_phase "setup"
    echo "$passed passed, $failed failed"
    exit 1
fi
phase_done

phase "native build (clang, sanitizers)"
native_ok=
if configure "$BUILD/native" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_FLAGS_DEBUG="-g -O1" -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" >"$BUILD/native-configure.log" 2>&1 ||
    { cat "$BUILD/native-configure.log"; false; }; then
    if cmake --build "$BUILD/native" --parallel "$JOBS"; then
        native_ok=1
    fi
fi
[ -n "$native_ok" ] || fail_phase "native build"
phase_done

phase "native tests"
if [ -n "$native_ok" ]; then
    run_ctest "native tests" "$BUILD/native" 1200 --parallel "$JOBS" --timeout 300
else
    echo "skipped: the native build failed"
fi
phase_done

phase "fuzzing (${FUZZ_SECONDS} s in all)"
# Two targets, half the time each: the parser with every reader built on it (seeded with the shipped documents),
# and the navigation watch's decision against the game-server test.
if [ "$FUZZ_SECONDS" -eq 0 ]; then
    echo "skipped: LUMORA_FUZZ_SECONDS=0"
else
    for target in zoini_fuzz navigation_fuzz; do
        seconds=$(((FUZZ_SECONDS + 1) / 2))
        if [ ! -x "$BUILD/native/$target" ]; then
            fail_phase "fuzzing: build/native/$target was not built"
            continue
        fi
        # What the fuzzer adds to a corpus stays for the next local run.
        fuzz_dir="$BUILD/fuzz/$target"
        mkdir -p "$fuzz_dir/corpus" "$fuzz_dir/artifacts"
        [ "$target" = zoini_fuzz ] && cp "$ROOT"/res/*.ini "$fuzz_dir/corpus/"
        timeout -k 10 $((seconds + 120)) "$BUILD/native/$target" -max_total_time="$seconds" -timeout=10 \
            -artifact_prefix="$fuzz_dir/artifacts/" "$fuzz_dir/corpus" </dev/null >"$fuzz_dir/fuzz.log" 2>&1
        fuzz_rc=$?
        runs=$(grep -oE '^Done [0-9]+ runs' "$fuzz_dir/fuzz.log" | tail -n 1 | awk '{ print $2 }')
        if [ "$fuzz_rc" -eq 0 ] && [ -n "$runs" ]; then
            echo "fuzzing $target: $runs runs in $seconds s, no crash (corpus: $(find "$fuzz_dir/corpus" -type f | wc -l) inputs)"
            passed=$((passed + 1))
        else
            tail -n 40 "$fuzz_dir/fuzz.log"
            fail_phase "fuzzing $target (exit $fuzz_rc; the crashing input is under $fuzz_dir/artifacts)"
        fi
    done
fi
phase_done

phase "cross build (mingw-w64 i686)"
cross_ok=
if configure "$BUILD/cross" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
    >"$BUILD/cross-configure.log" 2>&1 || { cat "$BUILD/cross-configure.log"; false; }; then
    if cmake --build "$BUILD/cross" --parallel "$JOBS"; then
        cross_ok=1
    fi
fi
[ -n "$cross_ok" ] || fail_phase "cross build"
phase_done

phase "release build (optimised, stripped)"
# The client as users get it, built as the run command builds it; its size with every resource is reported.
if LUMORA_BUILD=release lumora_build_cross "$ROOT" "$BUILD" lumora >"$BUILD/release-build.log" 2>&1; then
    echo "release client: $(stat -c %s "$BUILD/release/lumora.exe") bytes with every resource"
else
    tail -n 40 "$BUILD/release-build.log"
    fail_phase "release build"
fi
phase_done

phase "Wine environment"
wine_ok=
if [ -n "$cross_ok" ]; then
    wine_dir="$BUILD/wine"
    if lumora_start_xvfb "$wine_dir/logs"; then
        echo "Xvfb on display $DISPLAY"
        lumora_use_prefix "$wine_dir/prefix" "$wine_dir/home"
        if lumora_prepare_prefix "$wine_dir/logs" managed offline && lumora_start_wineserver "$wine_dir/logs"; then
            wine_ok=1
        fi
    fi
    [ -n "$wine_ok" ] || fail_phase "release build (optimised, stripped)"
# The client as users get it, built as the run command builds it; its size with every resource is reported.
if LUMORA_BUILD=release lumora_build_cross "$ROOT" "$BUILD" lumora >"$BUILD/release-build.log" 2>&1; then
    echo "release client: $(stat -c %s "$BUILD/release/lumora.exe") bytes with every resource"
else
    tail -n 40 "$BUILD/release-build.log"
    fail_phase "release build"
fi
phase_done

phase "Wine environment"
else
    echo "skipped: the cross build failed"
fi
phase_done

phase "Wine tests"
if [ -n "$wine_ok" ]; then
    # One test at a time: the tests that drive real windows share one desktop.
    run_ctest "Wine tests" "$BUILD/cross" 1800 --timeout 120 -LE journey
else
    echo "skipped: no Wine environment"
fi
phase_done

phase "Wine tests of the client's windows, small screen"
if [ -n "$wine_ok" ]; then
    # A screen lower than the login picture (1024 x 700). Wine takes the screen's size from the display its
    # prefix's server started on, so this is a display, a prefix and a server of its own, made by the same recipe.
    saved_display=$DISPLAY saved_prefix=$WINEPREFIX saved_home=$HOME
    small_ok=
    if lumora_start_xvfb "$wine_dir/logs-small" 1280x600; then
        small_display=$DISPLAY
        echo "small screen: Xvfb on display $DISPLAY"
        lumora_use_prefix "$wine_dir/prefix-small" "$wine_dir/home-small"
        if lumora_prepare_prefix "$wine_dir/logs-small" managed offline &&
            lumora_start_wineserver "$wine_dir/logs-small"; then
            small_ok=1
            run_ctest "Wine tests, small screen" "$BUILD/cross" 600 --timeout 120 -L screen
        fi
        timeout 30 wineserver -k >/dev/null 2>&1
    fi
    [ -n "$small_ok" ] || fail_phase "small screen: no Wine environment"
    export DISPLAY=$saved_display WINEPREFIX=$saved_prefix HOME=$saved_home
else
    echo "skipped: no Wine environment"
fi
phase_done

phase "The journey: stand-in browser and test site, two screens, two locales"
if [ -n "$wine_ok" ] && lumora_start_test_site "$wine_dir/logs-site"; then
    echo "test site on $LUMORA_STANDIN_SITE"
    saved_display=$DISPLAY saved_prefix=$WINEPREFIX saved_home=$HOME
    for screen in "full:$saved_display" "small:${small_display:-}"; do
        name=${screen%%:*}
        export DISPLAY=${screen#*:}
        [ -n "${screen#*:}" ] || { fail_phase "journey ($name): no display"; continue; }
        # Prefixes of their own: the stand-in takes the browser's place here only.
        lumora_use_prefix "$wine_dir/prefix-journey-$name" "$wine_dir/home-journey-$name"
        if lumora_prepare_prefix "$wine_dir/logs-journey-$name" managed offline &&
            lumora_start_wineserver "$wine_dir/logs-journey-$name" &&
            lumora_register_standin "$BUILD/cross/standin_browser.dll"; then
            run_ctest "journey ($name screen)" "$BUILD/cross" 300 --timeout 120 -L journey
            export LC_ALL=zh_CN.UTF-8 LUMORA_EXPECT_CODE_PAGE=936
            run_ctest "journey ($name screen, zh_CN)" "$BUILD/cross" 300 --timeout 120 -L journey
            unset LC_ALL LUMORA_EXPECT_CODE_PAGE
        else
            fail_phase "journey ($name): no Wine environment"
        fi
        timeout 30 wineserver -k >/dev/null 2>&1
    done
    export DISPLAY=$saved_display WINEPREFIX=$saved_prefix HOME=$saved_home
    lumora_stop_test_site
    echo "screenshots of the journey: $BUILD/cross/screenshots/journey-*.bmp"
elif [ -n "$wine_ok" ]; then
    fail_phase "journey: the test site did not start"
else
    echo "skipped: no Wine environment"
fi
phase_done

phase "Wine tests of text, Chinese locale"
if [ -n "$wine_ok" ]; then
    # LC_ALL (not LANG) gives Wine code page 936 and the Chinese language even where no Linux locale is generated;
    # the tests check that they got it.
    export LC_ALL=zh_CN.UTF-8 LUMORA_EXPECT_CODE_PAGE=936
    run_ctest "Wine tests of text (zh_CN)" "$BUILD/cross" 900 --timeout 120 -L text
    unset LC_ALL LUMORA_EXPECT_CODE_PAGE
else
    echo "skipped: no Wine environment"
fi
phase_done

phase "teardown"
teardown
phase_done

echo
echo "Phase timings:"
for i in "${!phase_names[@]}"; do
    printf '  %-36s %7s s\n' "${phase_names[$i]}" "${phase_times[$i]:-?}"
done
printf '  %-36s %7s s\n' "total" "$(lumora_since "$run_started")"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
