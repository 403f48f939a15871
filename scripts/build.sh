#!/usr/bin/env bash
# Configures and builds one of the project's trees; the other commands call it (through wine-env.sh's lumora_build)
# rather than repeating its options.
#   build.sh native                      build/native: the portable core and its tests under the sanitizers (clang)
#   build.sh cross ARCH [TARGET...]      the Windows client and its tests for i686 or x86_64 (build/cross,
#                                        build/cross-x86_64)
#   build.sh release ARCH [TARGET...]    the client as users get it, optimised for size and stripped (build/release,
#                                        build/release-x86_64)
# A tree configured with another generator is started over. Without targets, everything is built. The Windows builds
# take an operator's brand folder and name from LUMORA_BRAND_DIR and LUMORA_OPERATOR (empty: the shipped client).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
kind=${1:-}
shift || true

configure()
{
    local build=$1
    shift
    if [ -f "$build/CMakeCache.txt" ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$build/CMakeCache.txt"; then
        rm -rf "$build"
    fi
    cmake -S "$ROOT" -B "$build" -G Ninja "$@"
}

case $kind in
native)
    configure "$ROOT/build/native" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_C_FLAGS_DEBUG="-g -O1" -DCMAKE_CXX_FLAGS_DEBUG="-g -O1"
    exec cmake --build "$ROOT/build/native" --parallel 2
    ;;
cross | release)
    arch=${1:-}
    shift || true
    case $arch in
    i686) build="$ROOT/build/$kind" ;;
    x86_64) build="$ROOT/build/$kind-$arch" ;;
    *)
        echo "build.sh: the architecture must be i686 or x86_64, not '$arch'" >&2
        exit 2
        ;;
    esac
    options=()
    if [ "$kind" = release ]; then
        options=(-DCMAKE_BUILD_TYPE=MinSizeRel "-DCMAKE_EXE_LINKER_FLAGS=-static -s"
            "-DCMAKE_SHARED_LINKER_FLAGS=-static -s")
    fi
    # Given every time, so that a brand given once does not stay in the tree's cache for the next build.
    brand=${LUMORA_BRAND_DIR:-}
    [ -n "$brand" ] && brand=$(realpath -m -- "$brand")
    options+=("-DLUMORA_BRAND_DIR=$brand" "-DLUMORA_OPERATOR=${LUMORA_OPERATOR:-}")
    configure "$build" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$arch.cmake" "${options[@]}"
    targets=()
    [ $# -gt 0 ] && targets=(--target "$@")
    exec cmake --build "$build" --parallel 2 "${targets[@]}"
    ;;
*)
    echo "usage: build.sh native | cross ARCH [TARGET...] | release ARCH [TARGET...]" >&2
    exit 2
    ;;
esac
