# shellcheck shell=bash
# Sourced by scripts/test.sh after wine-env.sh (whose clock it uses): its phases, their time limits under one deadline for the whole run, the programs they
# run in the background, and the count of what passed and failed.
#
# Every long command runs under timeout, which puts it in a process group of its own: Ctrl-C at the terminal does not
# reach it there, so phases_interrupt (called from the script's signal trap) ends each one that still runs. The
# script itself only ever waits with the wait builtin, which a signal interrupts at once.

LUMORA_PASSED=0
LUMORA_FAILED=0
LUMORA_PHASE=
LUMORA_PHASE_NAMES=()
LUMORA_PHASE_TIMES=()
LUMORA_CHILDREN=()

# Starts the clock of the whole run. $1: its deadline in seconds; every phase's limit is cut to the time left.
phases_begin()
{
    LUMORA_RUN_STARTED=$(lumora_now)
    LUMORA_DEADLINE=$(($(date +%s) + $1))
    LUMORA_DEADLINE_SECONDS=$1
}

# Seconds left before the run's deadline (0 once it has passed).
phases_time_left()
{
    local left=$((LUMORA_DEADLINE - $(date +%s)))
    echo $((left > 0 ? left : 0))
}

# The limit of a step that would take up to $1 seconds: $1, or what is left of the run when that is less.
phases_limit()
{
    local want=$1 left
    left=$(phases_time_left)
    echo $((want < left ? want : left))
}

phase()
{
    phase_end
    echo
    echo "=== $1"
    LUMORA_PHASE=$1
    LUMORA_PHASE_NAMES+=("$1")
    LUMORA_PHASE_STARTED=$(lumora_now)
}

# Ends the current phase's clock (phase and phases_summary call it).
phase_end()
{
    if [ -n "$LUMORA_PHASE" ]; then
        LUMORA_PHASE_TIMES+=("$(lumora_since "$LUMORA_PHASE_STARTED")")
        LUMORA_PHASE=
    fi
}

# Counts one failure of the current phase and says what failed. $1: what (may be empty: the phase as a whole).
phase_fail()
{
    echo "FAILED: ${LUMORA_PHASE:-run}${1:+: $1}"
    LUMORA_FAILED=$((LUMORA_FAILED + 1))
}

# Counts $1 (default 1) passed checks.
phase_pass()
{
    LUMORA_PASSED=$((LUMORA_PASSED + ${1:-1}))
}

# Runs a command under a time limit in a process group of its own, its output in a log that is shown as it comes
# (with show) or kept quiet (with quiet: only the last 40 lines, when it fails). The log is followed with tail --pid
# rather than a pipe: a stray Wine process that kept a pipe open would keep the pipe's reader waiting, whereas tail
# stops when the command does. Returns the command's status; a command that runs out of time says "timed out after
# N s" and returns 124. $1: show or quiet; $2: limit in seconds (0: nothing runs, the deadline has passed); $3: log;
# the rest: the command.
phase_run()
{
    local mode=$1 limit=$2 log=$3
    shift 3
    mkdir -p "$(dirname "$log")"
    : >"$log" # there before tail looks for it
    if [ "$limit" -le 0 ]; then
        echo "no time left: the run's deadline of $LUMORA_DEADLINE_SECONDS s has passed" | tee -a "$log"
        return 124
    fi
    timeout -k 15 "$limit" "$@" </dev/null >"$log" 2>&1 &
    local pid=$! follower=
    LUMORA_CHILDREN+=("$pid")
    if [ "$mode" = show ]; then
        tail -n +1 -f --pid="$pid" "$log" &
        follower=$!
        LUMORA_CHILDREN+=("$follower")
    fi
    wait "$pid"
    local rc=$?
    [ -n "$follower" ] && wait "$follower"
    LUMORA_CHILDREN=()
    if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
        [ "$mode" = quiet ] && tail -n 40 "$log"
        echo "timed out after $limit s"
        return 124
    fi
    [ "$rc" -ne 0 ] && [ "$mode" = quiet ] && tail -n 40 "$log"
    return "$rc"
}

# Starts a command like phase_run (quiet), at a lower priority, without waiting for it: the phases after it run
# meanwhile, and phase_wait waits for it. Its process id is left in LUMORA_STARTED. $1: limit; $2: log; the rest: the
# command.
LUMORA_BACKGROUND=()
phase_start()
{
    local limit=$1 log=$2
    shift 2
    mkdir -p "$(dirname "$log")"
    : >"$log"
    if [ "$limit" -le 0 ]; then
        echo "no time left: the run's deadline of $LUMORA_DEADLINE_SECONDS s has passed" >"$log"
        return 1
    fi
    timeout -k 15 "$limit" nice -n 10 "$@" </dev/null >"$log" 2>&1 &
    LUMORA_STARTED=$!
    LUMORA_BACKGROUND+=("$LUMORA_STARTED")
}

# Waits for a command phase_start started; its status, as phase_run gives it. $1: its log; $2: its process id
# (default: the one started last).
phase_wait()
{
    local log=$1 pid=${2:-${LUMORA_BACKGROUND[-1]:-}} i
    [ -n "$pid" ] || return 1
    wait "$pid"
    local rc=$?
    for i in "${!LUMORA_BACKGROUND[@]}"; do
        [ "${LUMORA_BACKGROUND[$i]}" = "$pid" ] && unset "LUMORA_BACKGROUND[$i]"
    done
    if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
        tail -n 40 "$log"
        echo "timed out"
        return 124
    fi
    [ "$rc" -ne 0 ] && tail -n 40 "$log"
    return "$rc"
}

# Runs one CTest tree with a log of its own (build/logs/ctest-<label>.log) and a JUnit report beside it, and adds the
# report's counts to the totals (a test that did not run counts as failed; a run that leaves no report, or has no
# tests, counts as one failure). With LUMORA_CTEST_GROUPS set to labels (CTest's, each matched whole), it also says
# how many of each label's tests passed and failed, and how long they took. $1: label; $2: tree; $3: the longest it
# may take in seconds (cut to the time left); the rest go to CTest.
phases_ctest()
{
    local label=$1 dir=$2 limit
    limit=$(phases_limit "$3")
    shift 3
    local name log report
    name=$(tr -c 'A-Za-z0-9_\n-' '-' <<<"$label" | tr -s '-' | sed 's/-$//')
    log="$LUMORA_LOGS/ctest-$name.log"
    report="$LUMORA_LOGS/ctest-$name.xml"
    rm -f "$report"
    phase_run show "$limit" "$log" ctest --test-dir "$dir" --output-on-failure --output-junit "$report" "$@"
    local rc=$? groups=() group counts
    for group in ${LUMORA_CTEST_GROUPS:-}; do
        ctest --test-dir "$dir" -N -L "^$group\$" 2>/dev/null | sed -nE 's/^ +Test +#[0-9]+: (.*)$/\1/p' \
            >"$LUMORA_LOGS/ctest-$name-$group.names"
        groups+=("$group=$LUMORA_LOGS/ctest-$name-$group.names")
    done
    if ! counts=$(python3 "$(dirname "${BASH_SOURCE[0]}")/ctest-report.py" "$report" "${groups[@]}"); then
        if [ "$rc" -eq 124 ]; then
            phase_fail "$label: timed out after $limit s (log: $log)"
        else
            phase_fail "$label: CTest left no report (exit $rc, log: $log)"
        fi
        return
    fi
    sed '$d' <<<"$counts"
    local totals passed nfailed
    totals=$(tail -n 1 <<<"$counts")
    passed=${totals%% *}
    nfailed=$(sed -E 's/.* ([0-9]+) failed/\1/' <<<"$totals")
    phase_pass "$passed"
    LUMORA_FAILED=$((LUMORA_FAILED + nfailed))
    echo "$label: $passed passed, $nfailed failed"
    if [ $((passed + nfailed)) -eq 0 ]; then
        phase_fail "$label: no tests"
    elif [ "$rc" -ne 0 ] && [ "$nfailed" -eq 0 ]; then
        phase_fail "$label: CTest exited with $rc"
    fi
}

# Runs a script that ends with "N passed, N failed" and adds its counts to the totals; a script that gives no such
# line counts as one failure. $1: label; $2: the longest it may take in seconds; the rest: the command.
phases_script()
{
    local label=$1 limit log counts
    limit=$(phases_limit "$2")
    shift 2
    log="$LUMORA_LOGS/$(tr -c 'A-Za-z0-9_\n-' '-' <<<"$label" | tr -s '-' | sed 's/-$//').log"
    phase_run show "$limit" "$log" "$@"
    local rc=$?
    counts=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log" | tail -n 1)
    if [ -z "$counts" ]; then
        phase_fail "$label: no count of its checks (exit $rc, log: $log)"
        return
    fi
    phase_pass "${counts%% *}"
    LUMORA_FAILED=$((LUMORA_FAILED + $(sed -E 's/.* ([0-9]+) failed/\1/' <<<"$counts")))
}

# Ends every command phase_run still runs: each timeout passes the signal on to its process group; what is left
# after a few seconds is killed.
phases_interrupt()
{
    local pid i
    LUMORA_CHILDREN+=("${LUMORA_BACKGROUND[@]}")
    LUMORA_BACKGROUND=()
    for pid in "${LUMORA_CHILDREN[@]}"; do
        kill -TERM "$pid" 2>/dev/null
    done
    for ((i = 0; i < 50; i++)); do
        local alive=
        for pid in "${LUMORA_CHILDREN[@]}"; do
            kill -0 "$pid" 2>/dev/null && alive=1
        done
        [ -z "$alive" ] && break
        sleep 0.1
    done
    for pid in "${LUMORA_CHILDREN[@]}"; do
        kill -KILL -- "-$pid" 2>/dev/null
        kill -KILL "$pid" 2>/dev/null
    done
    LUMORA_CHILDREN=()
}

# Prints each phase's time, the total and the last line, "N passed, N failed"; returns 1 when anything failed.
phases_summary()
{
    phase_end
    echo
    echo "Phase timings:"
    local i
    for i in "${!LUMORA_PHASE_NAMES[@]}"; do
        printf '  %-60s %7s s\n' "${LUMORA_PHASE_NAMES[$i]}" "${LUMORA_PHASE_TIMES[$i]:-?}"
    done
    printf '  %-60s %7s s\n' "total" "$(lumora_since "$LUMORA_RUN_STARTED")"
    echo "$LUMORA_PASSED passed, $LUMORA_FAILED failed"
    [ "$LUMORA_FAILED" -eq 0 ]
}
