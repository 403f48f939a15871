#!/usr/bin/env bash
# The benchmark (not a test): builds the release client and the cross build's benchmark programs, runs them under
# Wine on an Xvfb display of its own with an offline prefix, and prints each figure beside its baseline measured in
# the same run, with their ratio and the target (see tests/bench/Bench.cpp for what each figure is).
set -uo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
ROOT=$(pwd)
WORK="$ROOT/build/bench"

# shellcheck source=scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh"

bash "$ROOT/scripts/setup.sh" >/dev/null || exit 1
mkdir -p "$WORK/logs"
LUMORA_BUILD=release lumora_build_cross "$ROOT" "$WORK/logs" lumora >/dev/null || exit 1
lumora_build_cross "$ROOT" "$WORK/logs" bench minimal_start >/dev/null || exit 1

cleanup()
{
    lumora_stop_wineserver
    lumora_stop_xvfb
}
trap cleanup EXIT

lumora_start_xvfb "$WORK/logs" || exit 1
lumora_use_prefix "$WORK/prefix" "$WORK/home"
lumora_prepare_prefix "$WORK/logs" managed offline || exit 1
lumora_start_wineserver "$WORK/logs" || exit 1

windows_path() { echo "Z:$(tr '/' '\\' <<<"$1")"; }
cd "$ROOT/build/cross" || exit 1
timeout 600 wine bench.exe "$(windows_path "$ROOT/build/release/lumora.exe")" \
    "$(windows_path "$ROOT/build/cross/minimal_start.exe")" </dev/null 2>/dev/null
