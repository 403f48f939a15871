#!/usr/bin/env bash
# How the scripts choose the Windows architecture: by running a 32-bit program (here a stand-in for Wine's 32-bit
# loader), or as LUMORA_ARCH forces. A program this machine cannot run is made by giving a copy of a native one
# another machine type in its ELF header, which fails exactly as a 32-bit program does where none can run.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
# shellcheck source=scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
printf '#!/bin/sh\necho "wine-8.0 (stand-in)"\n' >"$scratch/runs"
chmod +x "$scratch/runs"
cp /bin/true "$scratch/foreign"
printf '\xb7\x00' | dd of="$scratch/foreign" bs=1 seek=18 conv=notrunc 2>/dev/null # e_machine: AArch64

failures=0
# $1: case; $2: LUMORA_ARCH; $3: probe; $4: expected status; $5: expected architecture; $6: a part of the output.
check()
{
    local out
    out=$(unset WINEARCH WINELOADER WINESERVER LUMORA_WINE_SET
        LUMORA_ARCH=$2 LUMORA_PROBE_32BIT=$3 lumora_choose_arch 2>&1
        echo "status=$? arch=${LUMORA_ARCH:-} wine=${LUMORA_WINE:-} winearch=${WINEARCH:-}")
    local status arch
    status=$(grep -oE 'status=[0-9]+' <<<"$out" | cut -d= -f2)
    arch=none
    [ "$status" -eq 0 ] && arch=$(grep -oE ' arch=[a-z0-9_]+' <<<"$out" | cut -d= -f2)
    if [ "$status" != "$4" ] || [ "$arch" != "$5" ] || ! grep -qF -- "$6" <<<"$out"; then
        echo "FAIL $1: wanted status $4, $5 and \"$6\"; got:"
        sed 's/^/    /' <<<"$out"
        failures=$((failures + 1))
    else
        echo "ok   $1: $(head -n 1 <<<"$out")"
    fi
}

check "32-bit programs run" "" "$scratch/runs" 0 i686 "runs 32-bit programs ($scratch/runs --version: wine-8.0 (stand-in)), so the 32-bit client (i686) runs under wine"
check "32-bit programs fail to start" "" "$scratch/foreign" 0 x86_64 "cannot run 32-bit programs ($scratch/foreign: cannot execute binary file: Exec format error), so the 64-bit client (x86_64) runs under wine64"
check "no 32-bit loader" "" "$scratch/missing" 0 x86_64 "cannot run 32-bit programs ($scratch/missing: No such file or directory)"
check "forced 64-bit where 32-bit runs" x86_64 "$scratch/runs" 0 x86_64 "LUMORA_ARCH=x86_64, so the 64-bit client (x86_64) runs under wine64"
check "forced 32-bit where it cannot run" i686 "$scratch/foreign" 0 i686 "LUMORA_ARCH=i686, so the 32-bit client (i686) runs under wine"
check "an unknown architecture" arm64 "$scratch/runs" 1 none "LUMORA_ARCH must be i686 or x86_64, not 'arm64'"
check "the 64-bit loader under its own name" x86_64 "$scratch/runs" 0 x86_64 "wine=/usr/lib/wine/wine64"
check "a 64-bit prefix for it" x86_64 "$scratch/runs" 0 x86_64 "winearch=win64"

# A WINEARCH of the user's is set aside with one line, not left to fail inside wineboot.
out=$(export WINEARCH=win32; unset LUMORA_WINE_SET; LUMORA_ARCH=x86_64 lumora_choose_arch 2>&1; echo "winearch=$WINEARCH")
if grep -q 'your WINEARCH=win32 is set aside' <<<"$out" && grep -q 'winearch=win64' <<<"$out"; then
    echo "ok   a user's WINEARCH"
else
    echo "FAIL a user's WINEARCH:"
    sed 's/^/    /' <<<"$out"
    failures=$((failures + 1))
fi

[ "$failures" -eq 0 ]
