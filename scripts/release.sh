#!/usr/bin/env bash
# The release command: builds the client as users get it for both architectures (reproducibly: the same commit gives
# the same bytes anywhere), signs each with the operator's certificate, verifies each signature, and puts the two
# executables and their SHA256SUMS in one folder.
#
#   bash scripts/release.sh [OUT]        (default OUT: build/dist)
#
# What it is built with (all optional):
#   LUMORA_BRAND_DIR            the operator's brand folder (see README, "For operators")
#   LUMORA_OPERATOR             the operator's name, shown as the company in the file's properties
#   SOURCE_DATE_EPOCH           the executables' time stamp and signing time (default: the last commit's time)
# and signed with (scripts/signing.sh): LUMORA_SIGN_CERTIFICATE (a PKCS#12 file), its password from
# LUMORA_SIGN_PASSWORD_FILE or LUMORA_SIGN_PASSWORD, LUMORA_SIGN_CA_FILE, LUMORA_TIMESTAMP_URL. Without a certificate
# the executables are not signed, and it says so.
set -uo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
ROOT=$(pwd)
OUT=${1:-$ROOT/build/dist}
case $OUT in
/*) ;;
*) OUT="$OLDPWD/$OUT" ;;
esac
# shellcheck source=scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh"
# shellcheck source=scripts/signing.sh
source "$ROOT/scripts/signing.sh"

fail()
{
    echo "release: $*" >&2
    exit 1
}

if [ -n "${LUMORA_SIGN_CERTIFICATE:-}" ]; then
    [ -r "$LUMORA_SIGN_CERTIFICATE" ] || fail "cannot read the certificate $LUMORA_SIGN_CERTIFICATE"
    if [ -n "${LUMORA_SIGN_PASSWORD_FILE:-}" ] && ! [ -r "$LUMORA_SIGN_PASSWORD_FILE" ]; then
        fail "cannot read the password file $LUMORA_SIGN_PASSWORD_FILE"
    fi
fi
bash "$ROOT/scripts/setup.sh" >/dev/null || fail "setup failed"
started=$(lumora_now)
mkdir -p "$OUT" "$ROOT/build/logs" || fail "cannot make $OUT"
rm -f "$OUT"/lumora-*.exe "$OUT/SHA256SUMS"

for arch in i686 x86_64; do
    tree=$(lumora_tree release "$arch")
    log="$ROOT/build/logs/release-$arch.log"
    echo "release: building the $arch client"
    lumora_build release "$arch" "$log" lumora || fail "the $arch build failed (log: $log)"
    target="$OUT/lumora-$arch.exe"
    if [ -z "${LUMORA_SIGN_CERTIFICATE:-}" ]; then
        cp "$tree/lumora.exe" "$target" || fail "cannot copy the $arch client into $OUT"
        continue
    fi
    # The signature is made at the build's own time, so that signing the same build again gives the same file.
    epoch=$(cat "$tree/generated/source-date-epoch") || fail "the $arch build wrote no source-date-epoch"
    lumora_sign "$tree/lumora.exe" "$target" "$epoch" 2>"$OUT/sign-$arch.log" ||
        fail "signing the $arch client failed: $(tail -n 3 "$OUT/sign-$arch.log")"
    lumora_verify "$target" || fail "the signature of $target does not verify"
    rm -f "$OUT/sign-$arch.log"
    echo "release: signed and verified $target"
done

(cd "$OUT" && sha256sum lumora-i686.exe lumora-x86_64.exe >SHA256SUMS) || fail "cannot write $OUT/SHA256SUMS"
if [ -z "${LUMORA_SIGN_CERTIFICATE:-}" ]; then
    echo "release: UNSIGNED: no certificate given (LUMORA_SIGN_CERTIFICATE), so these executables carry no signature"
fi
cat "$OUT/SHA256SUMS"
echo "release: $OUT, in $(lumora_since "$started") s"
