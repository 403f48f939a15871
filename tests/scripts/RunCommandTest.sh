#!/usr/bin/env bash
# The run command without a display, as a newcomer and CI meet it: the real client's login screen is saved and the
# client ends with 0; a client that ends at once fails the command, which shows the end of the client's log. Runs
# under the test command's Wine phase, for the architecture it chose, with a run folder of its own. $1: that folder.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
RUN_DIR=${1:?the run folder}
failures=0

run()
{
    env -u DISPLAY LUMORA_RUN_DIR="$RUN_DIR" "$@" bash "$ROOT/scripts/run.sh" "${ARGS[@]}" 2>&1
    echo "status=$?"
}

ARGS=()
out=$(run)
shot=$(sed -nE 's/^run: screenshot of the login screen: (.*)$/\1/p' <<<"$out")
if grep -qx 'status=0' <<<"$out" && grep -qx 'run: the client exited with 0' <<<"$out" && [ -n "$shot" ] &&
    [ "$(head -c 8 "$shot" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ]; then
    echo "ok   the login screen saved ($shot) and the client ended with 0"
else
    echo "FAIL the headless run:"
    sed 's/^/    | /' <<<"$out"
    failures=$((failures + 1))
fi

ARGS=(/c "echo lumora-run-test-marker& exit 3")
out=$(run LUMORA_RUN_CLIENT=cmd.exe)
if grep -qx 'status=1' <<<"$out" && grep -q 'run: the client ended with 3 before its login screen appeared' <<<"$out" &&
    grep -q "run: the end of the client's log" <<<"$out" && grep -q 'lumora-run-test-marker' <<<"$out" &&
    ! grep -q 'screenshot of the login screen' <<<"$out"; then
    echo "ok   a client that ends at once fails the command, with the end of its log"
else
    echo "FAIL the client that ends at once:"
    sed 's/^/    | /' <<<"$out"
    failures=$((failures + 1))
fi

[ "$failures" -eq 0 ]
