#!/usr/bin/env bash
# Takes a screenshot of the skin preview: the game window's nine-grid frame with its title-bar buttons, and every
# button image set in its three states, each painted by a real skinned button. Writes build/skin-preview.png, or
# the path given as the first argument. Runs in a Wine session of its own (scripts/session.sh), on its own Xvfb with a
# compositor whatever DISPLAY says (.run/sessions/preview), for the architecture this machine runs (LUMORA_ARCH forces
# either).
#   skin-preview.sh [--brand DIR] [out.png]
# With --brand, the pictures of an operator's brand folder in place of the shipped ones (checked as a build checks
# them), built in a tree of its own (.run/preview-build).
set -uo pipefail

BRAND=
if [ "${1:-}" = --brand ]; then
    BRAND=$(realpath -m -- "${2:-}")
    [ -n "${2:-}" ] || { echo "skin-preview: --brand needs a folder" >&2; exit 2; }
    shift 2
fi
OUT=${1:-}
cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
ROOT=$(pwd)
RUN="$ROOT/.run"
OUT=${OUT:-$ROOT/build/skin-preview.png}
# The path as given, from the folder it was given in, before anything else changes folder.
case $OUT in
/*) ;;
*) OUT="$OLDPWD/$OUT" ;;
esac

# shellcheck source=scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh"

lumora_session_script "$RUN"
mkdir -p "$RUN/logs" "$(dirname "$OUT")"
if [ -n "$BRAND" ]; then
    # A tree of its own, so that the test tree's client stays the shipped one.
    tree="$RUN/preview-build-$LUMORA_ARCH"
    if ! cmake -S "$ROOT" -B "$tree" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$LUMORA_ARCH.cmake" \
        -DLUMORA_BRAND_DIR="$BRAND" >"$RUN/logs/preview-build.log" 2>&1; then
        grep -v '^--' "$RUN/logs/preview-build.log" | head -n 3 >&2
        exit 1
    fi
    cmake --build "$tree" --target skin_preview --parallel 2 >>"$RUN/logs/preview-build.log" 2>&1 || {
        tail -n 40 "$RUN/logs/preview-build.log" >&2
        exit 1
    }
else
    lumora_build cross "$LUMORA_ARCH" "$RUN/logs/preview-build.log" skin_preview || exit 1
    tree=$(lumora_tree cross "$LUMORA_ARCH")
fi

name=preview
[ "$LUMORA_ARCH" = i686 ] || name="preview-$LUMORA_ARCH"
session=$(lumora_start_session "$name" --arch "$LUMORA_ARCH" --compositor --online) || exit 1
# shellcheck disable=SC1091
source "$session/session.env"

log="$RUN/logs/skin-preview.log"
timeout 60 "$LUMORA_WINE" "$tree/skin_preview.exe" </dev/null >"$log" 2>&1 &
preview=$!
# The window paints once it is up; give it the time a cold Wine start needs.
shown=
for _ in $(seq 1 40); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"Lumora skin preview": ("skin_preview.exe"'; then
        shown=1
        break
    fi
    kill -0 "$preview" 2>/dev/null || break
    sleep 0.5
done
if [ -z "$shown" ]; then
    echo "skin-preview: the preview window did not appear; the end of its log ($log):" >&2
    tail -n 30 "$log" >&2
    exit 1
fi
sleep 2
xwd -root -silent -display "$DISPLAY" | convert xwd:- -crop 900x640+20+20 +repage "$OUT" || exit 1
echo "skin-preview: $OUT"
