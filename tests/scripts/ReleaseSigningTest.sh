#!/usr/bin/env bash
# The release command with a throwaway certificate made here: without a certificate it says the files are unsigned
# and still writes the sums; with one, the signature verifies, a changed byte fails verification, a second build of
# the same commit signs to the same file, and the signed client starts under Wine and shows its login screen.
#   ReleaseSigningTest.sh ARCH SECOND_BUILD
# ARCH: the architecture this machine runs (its client is started); SECOND_BUILD: that architecture's client built
# from another copy of the source. Runs inside the test command's Wine session (DISPLAY, WINEPREFIX and its server).
# Ends with "N passed, N failed".
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
ARCH=$1
SECOND=$2
# shellcheck source=scripts/wine-env.sh
source "$ROOT/scripts/wine-env.sh"
# shellcheck source=scripts/signing.sh
source "$ROOT/scripts/signing.sh"
lumora_use_arch "$ARCH" >/dev/null

work="$ROOT/build/signing-test"
rm -rf "$work"
mkdir -p "$work"
passed=0
failed=0
check()
{
    if [ "$1" -eq 0 ]; then
        echo "ok: $2"
        passed=$((passed + 1))
    else
        echo "FAIL: $2"
        failed=$((failed + 1))
    fi
}

# No certificate: the same folder, unsigned, said so plainly.
out=$(unset LUMORA_SIGN_CERTIFICATE; bash "$ROOT/scripts/release.sh" "$work/unsigned" 2>&1)
status=$?
grep -q '^release: UNSIGNED' <<<"$out" && [ "$status" -eq 0 ] && (cd "$work/unsigned" && sha256sum -c --quiet SHA256SUMS)
check $? "without a certificate: exit 0, says UNSIGNED, writes SHA256SUMS that match"
[ "$status" -eq 0 ] || printf '%s\n' "$out" | tail -n 20

# A throwaway code-signing certificate, its password in a file.
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 30 \
    -subj "/CN=Lumora test operator" -addext "extendedKeyUsage=codeSigning" >"$work/openssl.log" 2>&1 &&
    printf 'throwaway password' >"$work/password" &&
    openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/operator.p12" \
        -passout "file:$work/password" >>"$work/openssl.log" 2>&1
check $? "a throwaway certificate (log: $work/openssl.log)"

export LUMORA_SIGN_CERTIFICATE="$work/operator.p12" LUMORA_SIGN_PASSWORD_FILE="$work/password"
export LUMORA_SIGN_CA_FILE="$work/cert.pem"
unset LUMORA_SIGN_PASSWORD LUMORA_TIMESTAMP_URL
out=$(bash "$ROOT/scripts/release.sh" "$work/signed" 2>&1)
status=$?
signed="$work/signed/lumora-$ARCH.exe"
[ "$status" -eq 0 ] && ! grep -q UNSIGNED <<<"$out" && lumora_verify "$signed" &&
    lumora_verify "$work/signed/lumora-x86_64.exe" && (cd "$work/signed" && sha256sum -c --quiet SHA256SUMS)
check $? "signed release: both signatures verify, SHA256SUMS match"
[ "$status" -eq 0 ] || printf '%s\n' "$out" | tail -n 20

# One byte of the code changed, after signing.
cp "$signed" "$work/changed.exe"
offset=$(python3 -c "import sys; sys.path.insert(0, '$ROOT/scripts'); import pe
print(pe.Pe(open('$signed', 'rb').read()).sections[0][3] + 4096)")
byte=$(od -An -tu1 -j "$offset" -N1 "$work/changed.exe" | tr -d ' ')
printf "\\$(printf '%03o' $(((byte + 1) % 256)))" | dd of="$work/changed.exe" bs=1 seek="$offset" conv=notrunc 2>/dev/null
! lumora_verify "$work/changed.exe" 2>/dev/null && ! cmp -s "$signed" "$work/changed.exe"
check $? "one changed byte fails verification"

# The second build of the same commit, signed later and with the password from the environment: the same file.
unset LUMORA_SIGN_PASSWORD_FILE
export LUMORA_SIGN_PASSWORD="throwaway password"
sleep 1
lumora_sign "$SECOND" "$work/second.exe" "$(cat "$(lumora_tree release "$ARCH")/generated/source-date-epoch")" \
    2>"$work/sign-second.log" && cmp "$signed" "$work/second.exe"
check $? "the second build signs to the same file"

# The signed client starts and shows its login screen: its window titled "Web" and the main window that owns it.
name=$(basename "$signed")
"$LUMORA_WINE" "$signed" </dev/null >"$work/client.log" 2>&1 &
client=$!
main=
for _ in $(seq 1 120); do
    web=$(xwininfo -root -tree 2>/dev/null | grep -E "^ +0x[0-9a-f]+ \"Web\": \(\"$name\"" | awk '{ print $1 }')
    if [ -n "$web" ] && xwininfo -id "$web" 2>/dev/null | grep -q 'Map State: IsViewable'; then
        main=$(xprop -id "$web" WM_TRANSIENT_FOR 2>/dev/null | grep -oE '0x[0-9a-f]+$')
        [ -n "$main" ] && break
    fi
    kill -0 "$client" 2>/dev/null || break
    sleep 0.5
done
[ -n "$main" ]
check $? "the signed client starts under Wine and shows its login screen"
[ -n "$main" ] && wmctrl -i -c "$main" >/dev/null 2>&1
for _ in $(seq 1 40); do
    kill -0 "$client" 2>/dev/null || break
    sleep 0.25
done
kill "$client" 2>/dev/null
wait "$client" 2>/dev/null

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
