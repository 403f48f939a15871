#!/usr/bin/env bash
# The test command. On a fresh Debian machine it installs what is missing, then:
#   1. builds the portable core natively with clang under AddressSanitizer/UndefinedBehaviorSanitizer and runs
#      its tests and those of the scripts themselves;
#   2. fuzzes the INI parser with the readers built on it, and the navigation watch, for LUMORA_FUZZ_SECONDS in all
#      (default 60; 0 skips it);
#   3. builds the client as users get it for both architectures, and checks each executable from its bytes (with its
#      version resource); builds it once more from a second copy of the tree and compares the two;
#   4. cross-builds the Windows client and its tests for the architecture this machine runs (the 32-bit one where
#      32-bit programs run, else the 64-bit one; LUMORA_ARCH forces either), and runs every variant of those under
#      Wine (each screen and locale, the journey, no browser: cmake/WineTests.cmake), in sessions of their own under
#      build/ that CTest starts as the tests' fixtures (scripts/session.sh), three sessions' tests side by side;
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

# Stops every Wine session of the cross trees (CTest stops its own at the end, but not when it was interrupted).
teardown()
{
    local session
    for session in "$BUILD"/cross*/sessions/*/; do
        [ -f "$session/pids" ] || [ -f "$session/session.env" ] || continue
        bash "$ROOT/scripts/session.sh" stop "$session" >/dev/null 2>&1
    done
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
later_pid=
if phase_start "$(phases_limit 2400)" "$LUMORA_LOGS/later-builds.log" bash -c "$later_builds" _ "$ROOT" "$REPRO" \
    "${later[@]}"; then
    later_pid=$LUMORA_STARTED
    echo "started: ${#later[@]} builds (log: $LUMORA_LOGS/later-builds.log)"
else
    phase_fail "the builds did not start"
fi
# Whether a build of the background ones was made; waits for them the first time. $1: its name (release-i686, ...).
later_built()
{
    if [ -z "${later_waited:-}" ] && [ -n "$later_pid" ]; then
        later_waited=1
        phase_wait "$LUMORA_LOGS/later-builds.log" "$later_pid"
        cat "$LUMORA_LOGS/later-builds.log"
    fi
    grep -qx "built: $1" "$LUMORA_LOGS/later-builds.log" "$LUMORA_LOGS/release-built.log"
}

phase "fuzzing (${FUZZ_SECONDS} s in all), in the background"
# Two targets, half the time each: the parser with every reader built on it (seeded with the shipped documents), and
# the navigation watch's decision against the game-server test. They run while the Wine tests wait on windows.
fuzz_pid=
if [ "$FUZZ_SECONDS" -eq 0 ]; then
    echo "skipped: LUMORA_FUZZ_SECONDS=0"
elif [ -z "$native_ok" ]; then
    echo "skipped: the native build failed"
else
    # What a fuzzer adds to its corpus stays for the next local run.
    for target in zoini_fuzz navigation_fuzz; do
        mkdir -p "$BUILD/fuzz/$target/corpus" "$BUILD/fuzz/$target/artifacts"
    done
    cp "$ROOT"/res/*.ini "$BUILD/fuzz/zoini_fuzz/corpus/"
    # shellcheck disable=SC2016 # expanded by the background shell
    fuzz_both='
        for target in zoini_fuzz navigation_fuzz; do
            dir=$1/fuzz/$target
            "$1/native/$target" -max_total_time="$2" -timeout=10 -artifact_prefix="$dir/artifacts/" "$dir/corpus" \
                >"$dir/fuzz.log" 2>&1
            echo "$target $?"
        done'
    if phase_start "$(phases_limit $((FUZZ_SECONDS + 240)))" "$LUMORA_LOGS/fuzzing.log" bash -c "$fuzz_both" _ \
        "$BUILD" $(((FUZZ_SECONDS + 1) / 2)); then
        fuzz_pid=$LUMORA_STARTED
        echo "started: zoini_fuzz and navigation_fuzz, $(((FUZZ_SECONDS + 1) / 2)) s each"
    else
        phase_fail "the fuzzers did not start"
    fi
fi

phase "Wine tests ($ARCH)"
# Every variant of every Wine test (cmake/WineTests.cmake): each session's tests take its desktop in turn, three tests
# of different sessions run side by side. CTest starts and stops the sessions as the tests' fixtures.
if [ -n "$cross_ok" ]; then
    LUMORA_CTEST_GROUPS="en zh small tiny journey nobrowser script" \
        phases_ctest "Wine tests ($ARCH)" "$CROSS" 2400 -j 3 -L '^(en|zh|small|tiny|journey|nobrowser|script)$'
else
    echo "skipped: the cross build failed"
fi

phase "fuzzing: the results"
if [ -n "$fuzz_pid" ]; then
    phase_wait "$LUMORA_LOGS/fuzzing.log" "$fuzz_pid"
    for target in zoini_fuzz navigation_fuzz; do
        dir="$BUILD/fuzz/$target"
        status=$(sed -nE "s/^$target ([0-9]+)$/\\1/p" "$LUMORA_LOGS/fuzzing.log")
        runs=$(grep -oE '^Done [0-9]+ runs' "$dir/fuzz.log" 2>/dev/null | tail -n 1 | awk '{ print $2 }')
        if [ "$status" = 0 ] && [ -n "$runs" ]; then
            echo "fuzzing $target: $runs runs, no crash (corpus: $(find "$dir/corpus" -type f | wc -l) inputs)"
            phase_pass
        else
            tail -n 20 "$dir/fuzz.log" 2>/dev/null
            phase_fail "$target (exit ${status:-none}; the crashing input is under $dir/artifacts)"
        fi
    done
else
    echo "skipped"
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
signing="$CROSS/sessions/signing"
if [ -z "$second" ]; then
    phase_fail "no second build to sign"
elif phase_run quiet "$(phases_limit 300)" "$LUMORA_LOGS/signing-session.log" bash "$ROOT/scripts/session.sh" start \
    "$signing" --arch "$ARCH"; then
    # In a session of its own: the signed client is started there.
    phases_script "release signing ($ARCH)" 600 bash "$ROOT/scripts/session.sh" run "$signing" \
        bash "$ROOT/tests/scripts/ReleaseSigningTest.sh" "$ARCH" "$second"
    bash "$ROOT/scripts/session.sh" stop "$signing"
else
    phase_fail "no Wine session (log: $LUMORA_LOGS/signing-session.log)"
fi

if [ "$ARCH" = i686 ]; then
    # This machine runs both architectures: the 64-bit client is tested too, from outside, as users would drive it.
    phase "The 64-bit client under wine64: its windows, commands, missing pieces, no browser, the journey"
    CROSS64=$(lumora_tree cross x86_64)
    if ! later_built cross-x86_64; then
        phase_fail "the x86_64 build (log: $LUMORA_LOGS/cross-x86_64.log)"
    else
        LUMORA_CTEST_GROUPS="client nobrowser" \
            phases_ctest "the 64-bit client" "$CROSS64" 1200 -j 3 -L '^(client|nobrowser)$'
    fi
fi

phase "teardown"
teardown

phases_summary
