#!/usr/bin/env bash
# The test command's phases (scripts/phases.sh), each case in a script of its own: what a failing phase, a command
# out of time and a run past its deadline print; one log per CTest run; and a signal ending every command that runs,
# with its process group, at once.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

# Runs a case's script with the phases loaded and LUMORA_LOGS under the scratch folder; prints what it printed and
# "status=N". $1: the script.
run_case()
{
    bash -c "source '$ROOT/scripts/wine-env.sh'; source '$ROOT/scripts/phases.sh'; LUMORA_LOGS='$scratch/logs'
        PATH='$scratch/bin':\$PATH; $1" 2>&1
    echo "status=$?"
}

# $1: case; $2: its output; the rest: lines the output must hold.
expect()
{
    local name=$1 out=$2 line missing=
    shift 2
    for line in "$@"; do
        grep -qxF -- "$line" <<<"$out" || missing+="    missing: $line"$'\n'
    done
    if [ -n "$missing" ]; then
        echo "FAIL $name"
        printf '%s' "$missing"
        sed 's/^/    | /' <<<"$out"
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}

out=$(run_case 'phases_begin 600; phase "alpha"; phase_pass 3; phase_fail "the build"; phase "beta"; phase_fail
    phases_summary')
expect "a failing phase names itself and what failed" "$out" "FAILED: alpha: the build" "FAILED: beta" \
    "3 passed, 2 failed" "status=1"

started=$(date +%s)
out=$(run_case 'phases_begin 600; phase "slow"; phase_run quiet 1 "$LUMORA_LOGS/slow.log" sleep 30; echo "rc=$?"')
expect "a command out of time" "$out" "timed out after 1 s" "rc=124"
[ $(($(date +%s) - started)) -lt 20 ] || { echo "FAIL the command out of time was not stopped"; failures=$((failures + 1)); }

out=$(run_case 'phases_begin 1; sleep 2; phase "late"; echo "limit=$(phases_limit 300)"
    phase_run quiet "$(phases_limit 300)" "$LUMORA_LOGS/late.log" true; echo "rc=$?"')
expect "a run past its deadline runs nothing more" "$out" "limit=0" \
    "no time left: the run's deadline of 1 s has passed" "rc=124"

out=$(run_case 'phases_begin 600; phase "cut"; echo "limit=$(phases_limit 300)"')
expect "a phase's limit is its own while the run has time" "$out" "limit=300"

# CTest stood in for by a script: it writes a JUnit report, as CTest does with --output-junit (three tests passed; or
# with "-L broken", one passed, one failed, one skipped itself and one not run after a failed fixture), lists the
# tests of a label for -N, or hangs.
mkdir -p "$scratch/bin"
cat >"$scratch/bin/ctest" <<'CTEST'
#!/bin/bash
report= all="$*"
while [ $# -gt 0 ]; do
    [ "$1" = --output-junit ] && report=$2
    shift
done
case "$all" in
*hang*) exec sleep 30 ;;
*-N*) printf '  Test #1: a\n  Test #2: b\n' ;;
*broken*)
    cat >"$report" <<'XML'
<testsuite tests="4"><testcase name="a" status="run"/><testcase name="b" status="fail"><failure message=""/></testcase>
<testcase name="c" status="notrun"><skipped message="SKIP_REGULAR_EXPRESSION_MATCHED"/></testcase>
<testcase name="d" status="notrun"><skipped message="Fixture dependency failed"/></testcase></testsuite>
XML
    exit 8 ;;
*) printf '<testsuite tests="3"><testcase name="a" status="run" time="1.5"/><testcase name="b" status="run" time="2"/>%s\n' \
       '<testcase name="c" status="run" time="4"/></testsuite>' >"$report" ;;
esac
CTEST
chmod +x "$scratch/bin/ctest"
out=$(run_case 'phases_begin 600; phase "tests"; phases_ctest "Wine tests (i686)" tree 60
    LUMORA_CTEST_GROUPS="en" phases_ctest "journey (small screen, zh_CN)" tree 60
    phases_ctest "broken" tree 60 -L broken; phases_ctest "hanging" tree 1 -L hang
    ls "$LUMORA_LOGS"; phases_summary')
expect "each CTest run keeps its own log and report, is counted from the report, and says when it ran out of time" \
    "$out" "Wine tests (i686): 3 passed, 0 failed" "journey (small screen, zh_CN): 3 passed, 0 failed" \
    "en: 2 passed, 0 failed, 4 s" "broken: 1 passed, 2 failed" \
    "ctest-Wine-tests-i686.log" "ctest-Wine-tests-i686.xml" "ctest-journey-small-screen-zh_CN.log" \
    "ctest-hanging.log" "FAILED: tests: hanging: timed out after 1 s (log: $scratch/logs/ctest-hanging.log)" \
    "7 passed, 3 failed"

# A signal to the script while a command runs: the script ends at once, and so does the command's process group,
# though the command ignores the terminal's interrupt and sits in a group of its own.
cat >"$scratch/interrupted.sh" <<SCRIPT
source '$ROOT/scripts/wine-env.sh'; source '$ROOT/scripts/phases.sh'; LUMORA_LOGS='$scratch/logs'
trap 'phases_interrupt; echo "interrupted"; exit 143' TERM
phases_begin 600; phase "long"
phase_run show 600 "\$LUMORA_LOGS/long.log" bash -c 'trap "" INT; sleep 987 & sleep 986; wait'
SCRIPT
bash "$scratch/interrupted.sh" >"$scratch/interrupted.out" 2>&1 &
script=$!
for _ in $(seq 1 50); do pgrep -f 'sleep 98[67]' >/dev/null && break; sleep 0.1; done
started=$(date +%s)
kill -TERM "$script"
wait "$script"
status=$?
sleep 0.5
left=$(pgrep -f 'sleep 98[67]' | wc -l)
if [ "$status" -eq 143 ] && [ "$left" -eq 0 ] && [ $(($(date +%s) - started)) -lt 10 ] &&
    grep -qx interrupted "$scratch/interrupted.out"; then
    echo "ok   a signal ends the script and every command it runs"
else
    echo "FAIL a signal: status $status, $left processes left, $(($(date +%s) - started)) s; output:"
    sed 's/^/    | /' "$scratch/interrupted.out"
    pkill -f 'sleep 98[67]'
    failures=$((failures + 1))
fi

[ "$failures" -eq 0 ]
