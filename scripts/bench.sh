#!/usr/bin/env bash
# The benchmark (not a test): builds the release client and the cross build's benchmark programs for the architecture
# this machine runs (as the test command chooses it; LUMORA_ARCH forces either), runs them under Wine on an Xvfb
# display of its own with an offline prefix, and prints each figure beside its baseline measured in the same run,
# with their ratio and the target (see tests/bench/Bench.cpp for what each figure is).
set -uo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
ROOT=$(pwd)
WORK="$ROOT/build/bench"

# shellcheck source=scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh"

lumora_session_script "$WORK"
lumora_build release "$LUMORA_ARCH" "$WORK/logs/release-build.log" lumora || exit 1
lumora_build cross "$LUMORA_ARCH" "$WORK/logs/cross-build.log" bench minimal_start || exit 1
release=$(lumora_tree release "$LUMORA_ARCH")
cross=$(lumora_tree cross "$LUMORA_ARCH")

lumora_start_session "$WORK" || exit 1

windows_path() { echo "Z:$(tr '/' '\\' <<<"$1")"; }
cd "$cross" || exit 1
lumora_run_limited 600 "$LUMORA_WINE" bench.exe "$(windows_path "$release/lumora.exe")" \
    "$(windows_path "$cross/minimal_start.exe")" </dev/null 2>/dev/null
