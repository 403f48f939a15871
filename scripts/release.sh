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
#
# Every path given (OUT, the brand folder, the certificate, the password file, the CA file) is taken from the folder
# the command is run in. The executables are named after the brand's executable (lumora unless the brand names
# another): <name>-i686.exe and <name>-x86_64.exe.
#
# A run that fails ends with one line, "release: <reason>", and leaves nothing of its own in OUT: the executables are
# built, signed and verified in a folder of their own under build/ and moved into OUT only once all of them are. The
# previous release in OUT (SHA256SUMS and the executables it lists) is removed once the certificate, password and CA
# files are found readable, before the brand is checked; a run that fails after that leaves OUT without a release.
set -uo pipefail

# The operator's paths, from the folder the command was run in, made absolute before anything changes folder.
CALLER=$(pwd)
from_caller()
{
    case $1 in
    '') ;;
    /*) realpath -ms -- "$1" ;;
    *) realpath -ms -- "$CALLER/$1" ;;
    esac
}
OUT=$(from_caller "${1:-}")
for variable in LUMORA_BRAND_DIR LUMORA_SIGN_CERTIFICATE LUMORA_SIGN_PASSWORD_FILE LUMORA_SIGN_CA_FILE; do
    if [ -n "${!variable:-}" ]; then
        export "$variable=$(from_caller "${!variable}")"
    fi
done

cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
ROOT=$(pwd)
OUT=${OUT:-$ROOT/build/dist}
# shellcheck source=scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh"
# shellcheck source=scripts/signing.sh
source "$ROOT/scripts/signing.sh"

made_out=  # OUT did not exist before this run
placed=()  # what this run has put into OUT
staging=   # where this run builds up the release
trap '[ -n "$staging" ] && rm -rf "$staging"' EXIT

# Ends the run with its reason as the last line, after taking out of OUT whatever the run put there.
fail()
{
    local file
    for file in "${placed[@]}"; do
        rm -f "$file"
    done
    [ -n "$made_out" ] && rmdir "$OUT" 2>/dev/null
    echo "release: $*" >&2
    exit 1
}
trap 'fail "stopped by a signal"' INT TERM

if [ -n "${LUMORA_SIGN_CERTIFICATE:-}" ]; then
    [ -f "$LUMORA_SIGN_CERTIFICATE" ] && [ -r "$LUMORA_SIGN_CERTIFICATE" ] ||
        fail "cannot read the certificate $LUMORA_SIGN_CERTIFICATE, expected a PKCS#12 file (.p12, .pfx)"
    if [ -n "${LUMORA_SIGN_PASSWORD_FILE:-}" ] && ! { [ -f "$LUMORA_SIGN_PASSWORD_FILE" ] &&
        [ -r "$LUMORA_SIGN_PASSWORD_FILE" ]; }; then
        fail "cannot read the password file $LUMORA_SIGN_PASSWORD_FILE"
    fi
    if [ -n "${LUMORA_SIGN_CA_FILE:-}" ] && ! { [ -f "$LUMORA_SIGN_CA_FILE" ] && [ -r "$LUMORA_SIGN_CA_FILE" ]; }; then
        fail "cannot read the CA file $LUMORA_SIGN_CA_FILE, expected the certificates the signatures are verified against"
    fi
fi
case ${LUMORA_OPERATOR:-} in
*[$'\n\r\t']*) fail "LUMORA_OPERATOR holds a line break or tab, expected the operator's name on one line" ;;
esac
bash "$ROOT/scripts/setup.sh" >/dev/null || fail "setup failed"
started=$(lumora_now)

[ -d "$OUT" ] || made_out=1
mkdir -p "$OUT" "$ROOT/build/logs" || fail "cannot make $OUT"
staging=$(mktemp -d "$ROOT/build/release-staging.XXXXXX") || fail "cannot make a staging folder under $ROOT/build"
# The previous release: its sums and the executables they name (only names a release gives, only in OUT).
if [ -f "$OUT/SHA256SUMS" ]; then
    sed -nE 's/^[0-9a-f]{64} [ *]([A-Za-z0-9][A-Za-z0-9_-]*-(i686|x86_64)\.exe)$/\1/p' "$OUT/SHA256SUMS" |
        while IFS= read -r previous; do rm -f "$OUT/$previous"; done
    rm -f "$OUT/SHA256SUMS"
fi

# The brand checked before anything is built, so that a broken piece stops the run with its own line as the last,
# and no build's output around it. Its warnings go out as they come; the build checks it again, quietly, in its log.
name=$(python3 "$ROOT/scripts/brand.py" check --brand "${LUMORA_BRAND_DIR:-}" 2>"$staging/brand-check.txt")
status=$?
if [ "$status" -ne 0 ]; then
    reason=$(tail -n 1 "$staging/brand-check.txt")
    head -n -1 "$staging/brand-check.txt" >&2
    fail "${reason:-the brand check failed without a reason (scripts/brand.py, status $status)}"
fi
sed 's/^/release: /' "$staging/brand-check.txt" >&2

files=()
for arch in i686 x86_64; do
    tree=$(lumora_tree release "$arch")
    log="$ROOT/build/logs/release-$arch.log"
    echo "release: building the $arch client"
    lumora_build release "$arch" "$log" lumora || fail "the $arch build failed (log: $log)"
    file="$name-$arch.exe"
    files+=("$file")
    if [ -z "${LUMORA_SIGN_CERTIFICATE:-}" ]; then
        cp "$tree/lumora.exe" "$staging/$file" || fail "cannot copy the $arch client into $staging"
        continue
    fi
    # The signature is made at the build's own time, so that signing the same build again gives the same file.
    epoch=$(cat "$tree/generated/source-date-epoch") || fail "the $arch build wrote no source-date-epoch"
    sign_log="$ROOT/build/logs/sign-$arch.log"
    if ! lumora_sign "$tree/lumora.exe" "$staging/$file" "$epoch" 2>"$sign_log"; then
        echo "release: osslsigncode's output: $sign_log" >&2
        fail "$(lumora_sign_failure "$sign_log")"
    fi
    reason=$(lumora_verify "$staging/$file" 2>&1) || fail "the signature of the $arch client does not verify: $reason"
    echo "release: signed and verified the $arch client"
done

(cd "$staging" && sha256sum "${files[@]}" >SHA256SUMS) || fail "cannot write the sums"
for file in "${files[@]}" SHA256SUMS; do
    placed+=("$OUT/$file")
    mv -f "$staging/$file" "$OUT/$file" || fail "cannot move $file into $OUT"
done
if [ -z "${LUMORA_SIGN_CERTIFICATE:-}" ]; then
    echo "release: UNSIGNED: no certificate given (LUMORA_SIGN_CERTIFICATE), so these executables carry no signature"
fi
cat "$OUT/SHA256SUMS"
echo "release: $OUT, in $(lumora_since "$started") s"
