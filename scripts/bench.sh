#!/usr/bin/env bash
# The benchmark (not a test): builds the release client and the cross build's benchmark programs, runs them in Wine
# sessions of their own (an Xvfb display, an offline prefix), and prints each figure beside its baseline measured in
# the same run, with their ratio and the target (see tools/bench/Bench.cpp for what each figure is); then the memory
# figures once more on a 3840 x 2160 screen. Where this machine runs both architectures it does all that for each
# (LUMORA_ARCH=i686 or x86_64 keeps to one).
set -uo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
ROOT=$(pwd)
WORK="$ROOT/build/bench"

# shellcheck source=scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh"

forced=${LUMORA_ARCH:-}
lumora_session_script "$WORK"
archs=("$LUMORA_ARCH")
[ -z "$forced" ] && [ "$LUMORA_ARCH" = i686 ] && archs+=(x86_64)

windows_path() { echo "Z:$(tr '/' '\\' <<<"$1")"; }

for arch in "${archs[@]}"; do
    lumora_build release "$arch" "$WORK/logs/release-$arch.log" lumora || exit 1
    lumora_build cross "$arch" "$WORK/logs/cross-$arch.log" bench minimal_start || exit 1
    release=$(lumora_tree release "$arch")
    cross=$(lumora_tree cross "$arch")
    arguments=("$(windows_path "$release/lumora.exe")" "$(windows_path "$cross/minimal_start.exe")")
    echo
    echo "== $(lumora_arch_words "$arch")"
    for screen in 1920x1080 3840x2160; do
        # Wine takes the screen's size from the display its prefix's server started on: a session for each screen.
        session=$(lumora_start_session "$arch-$screen" --arch "$arch" --screen "$screen") || exit 1
        extra=()
        [ "$screen" = 1920x1080 ] || extra=(--memory)
        cd "$cross" || exit 1
        lumora_run_limited 900 bash "$ROOT/scripts/session.sh" wine "$session" bench.exe "${arguments[@]}" \
            "${extra[@]}" </dev/null 2>/dev/null
        cd "$ROOT" || exit 1
        bash "$ROOT/scripts/session.sh" stop "$session"
    done
done
