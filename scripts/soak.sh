#!/usr/bin/env bash
# The long soak: login, game and back on the running client, 1,000 times (or as many as the first argument says),
# with the stand-in browser and the test site, on a display of its own. Prints what the client holds (private
# memory, GDI objects, windows) after the first cycle, every hundred cycles and at the end; fails when the end is
# more than a small margin above the first cycle. The test command runs the same test with 25 cycles.
set -uo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
ROOT=$(pwd)
CYCLES=${1:-1000}
WORK="$ROOT/build/soak"

# shellcheck source=scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh"

bash "$ROOT/scripts/setup.sh" >/dev/null || exit 1
mkdir -p "$WORK/logs"
lumora_build_cross "$ROOT" "$WORK/logs" journey_tests lumora standin_browser url_recorder >/dev/null || exit 1

cleanup()
{
    lumora_stop_test_site
    lumora_stop_wineserver
    lumora_stop_xvfb
}
trap cleanup EXIT

lumora_start_xvfb "$WORK/logs" || exit 1
lumora_use_prefix "$WORK/prefix" "$WORK/home"
lumora_prepare_prefix "$WORK/logs" managed offline || exit 1
lumora_start_wineserver "$WORK/logs" || exit 1
lumora_register_standin "$ROOT/build/cross/standin_browser.dll" || exit 1
lumora_start_test_site "$WORK/logs" || exit 1

cd "$ROOT/build/cross" || exit 1
LUMORA_SOAK_CYCLES=$CYCLES timeout $((CYCLES + 300)) wine journey_tests.exe --gtest_filter='Journey.Soak*' </dev/null
