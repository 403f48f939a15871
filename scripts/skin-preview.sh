#!/usr/bin/env bash
# Takes a screenshot of the skin preview: the game window's nine-grid frame with its title-bar buttons, and every
# button image set in its three states, each painted by a real skinned button. Writes build/skin-preview.png, or
# the path given as the first argument. Runs on its own Xvfb with a compositor, whatever DISPLAY says.
set -uo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
ROOT=$(pwd)
RUN="$ROOT/.run"
OUT=${1:-$ROOT/build/skin-preview.png}

# shellcheck source=scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh"

bash "$ROOT/scripts/setup.sh" >/dev/null || exit 1
mkdir -p "$RUN/logs" "$(dirname "$OUT")"
lumora_build_cross "$ROOT" "$RUN/logs" skin_preview >/dev/null || exit 1

xcompmgr_pid=
# shellcheck disable=SC2317 # run by the trap
cleanup()
{
    [ -n "${WINEPREFIX:-}" ] && timeout 20 wineserver -k >/dev/null 2>&1
    [ -n "$xcompmgr_pid" ] && kill "$xcompmgr_pid" 2>/dev/null
    lumora_stop_xvfb
}
trap cleanup EXIT

lumora_start_xvfb "$RUN/logs" || exit 1
xcompmgr -d "$DISPLAY" </dev/null >"$RUN/logs/xcompmgr.log" 2>&1 &
xcompmgr_pid=$!
lumora_use_prefix "$RUN/prefix" "$RUN/home"
lumora_prepare_prefix "$RUN/logs" managed || exit 1

timeout 60 wine "$ROOT/build/cross/skin_preview.exe" </dev/null >"$RUN/logs/skin-preview.log" 2>&1 &
# The window paints once it is up; give it the time a cold Wine start needs.
for _ in $(seq 1 40); do
    sleep 0.5
    xwininfo -root -children 2>/dev/null | grep -q 'Lumora skin preview' && break
done
sleep 2
xwd -root -silent -display "$DISPLAY" | convert xwd:- -crop 900x640+20+20 +repage "$OUT" || exit 1
echo "skin-preview: $OUT"
