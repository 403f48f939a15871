#!/usr/bin/env bash
# The long soak: login, game and back on the running client, 1,000 times (or as many as the first argument says),
# with the stand-in browser and the test site, in a Wine session of its own, for the architecture this machine runs (as
# the test command chooses it; LUMORA_ARCH forces either). Prints what the client holds (private memory, GDI objects,
# windows) after the first cycle, every hundred cycles and at the end; fails when the end is more than a small margin
# above the first cycle. The test command runs the same test with 25 cycles.
set -uo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
ROOT=$(pwd)
CYCLES=${1:-1000}
WORK="$ROOT/build/soak"
if ! [[ $CYCLES =~ ^[0-9]+$ ]] || [ "$((10#$CYCLES))" -eq 0 ]; then
    echo "soak: the number of cycles must be a whole number above 0, not '$CYCLES'" >&2
    exit 2
fi
CYCLES=$((10#$CYCLES))

# shellcheck source=scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh"

lumora_session_script "$WORK"
lumora_build cross "$LUMORA_ARCH" "$WORK/logs/cross-build.log" journey_tests lumora standin_browser url_recorder ||
    exit 1
tree=$(lumora_tree cross "$LUMORA_ARCH")
session=$(lumora_start_session "soak-$LUMORA_ARCH" --arch "$LUMORA_ARCH" --standin "$tree/standin_browser.dll" --site) ||
    exit 1

cd "$tree" || exit 1
LUMORA_SOAK_CYCLES=$CYCLES lumora_run_limited $((CYCLES + 300)) bash "$ROOT/scripts/session.sh" wine "$session" \
    journey_tests.exe --gtest_filter='Journey.Soak*' </dev/null
