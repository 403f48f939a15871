#!/usr/bin/env bash
# The release command with a throwaway certificate made here, run as an operator runs it: from a folder of their own,
# every path given relative to it. Without a certificate, with the test brand, it says the files are unsigned, names
# them after the brand's executable, still writes the sums, and each client carries the brand; with a certificate,
# the signature verifies, a changed byte fails verification, a second build of the same commit signs to the same file,
# and the signed client starts under Wine and shows its login screen. A run the certificate refuses (a wrong password,
# a file that is no certificate, a CA that did not issue it) ends with its reason as the last line and leaves nothing
# of its own in the output folder.
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

# No certificate, the test brand with an icon of its own, given as the operator would from their folder: the same
# folder, unsigned, said so plainly, the files named after the brand's executable.
/usr/bin/python3 "$ROOT/tests/brand/make_sample.py" "$work/brand" &&
    /usr/bin/python3 -c "import sys; from PIL import Image
Image.new('RGBA', (32, 32), (200, 30, 30, 255)).save(sys.argv[1], sizes=[(16, 16), (32, 32)])" \
        "$work/brand/128_app_icon.ico"
check $? "the test brand, with an icon"
out=$(cd "$work" && unset LUMORA_SIGN_CERTIFICATE && LUMORA_BRAND_DIR=brand bash "$ROOT/scripts/release.sh" unsigned 2>&1)
status=$?
grep -q '^release: UNSIGNED' <<<"$out" && [ "$status" -eq 0 ] &&
    [ "$(ls "$work/unsigned" | tr '\n' ' ')" = "SHA256SUMS brandtest-play-i686.exe brandtest-play-x86_64.exe " ] &&
    (cd "$work/unsigned" && sha256sum -c --quiet SHA256SUMS)
check $? "without a certificate, a brand given relatively: exit 0, says UNSIGNED, the brand's file names, SHA256SUMS that match"
[ "$status" -eq 0 ] || printf '%s\n' "$out" | tail -n 20
for arch in i686 x86_64; do
    (cd "$work" && python3 "$ROOT/scripts/pe.py" inspect "unsigned/brandtest-play-$arch.exe" --arch "$arch" --brand brand)
    check $? "the $arch client carries the brand's pieces and names, and the shipped pieces elsewhere"
done

# A throwaway code-signing certificate, its password in a file.
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 30 \
    -subj "/CN=Lumora test operator" -addext "extendedKeyUsage=codeSigning" >"$work/openssl.log" 2>&1 &&
    printf 'throwaway password' >"$work/password" &&
    openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/operator.p12" \
        -passout "file:$work/password" >>"$work/openssl.log" 2>&1
check $? "a throwaway certificate (log: $work/openssl.log)"

unset LUMORA_SIGN_PASSWORD LUMORA_TIMESTAMP_URL LUMORA_BRAND_DIR
out=$(cd "$work" && LUMORA_SIGN_CERTIFICATE=operator.p12 LUMORA_SIGN_PASSWORD_FILE=password LUMORA_SIGN_CA_FILE=cert.pem \
    bash "$ROOT/scripts/release.sh" signed 2>&1)
status=$?
export LUMORA_SIGN_CERTIFICATE="$work/operator.p12" LUMORA_SIGN_PASSWORD_FILE="$work/password"
export LUMORA_SIGN_CA_FILE="$work/cert.pem"
signed="$work/signed/lumora-$ARCH.exe"
[ "$status" -eq 0 ] && ! grep -q UNSIGNED <<<"$out" && lumora_verify "$signed" &&
    lumora_verify "$work/signed/lumora-x86_64.exe" && (cd "$work/signed" && sha256sum -c --quiet SHA256SUMS)
check $? "signed release: both signatures verify, SHA256SUMS match"
[ "$status" -eq 0 ] || printf '%s\n' "$out" | tail -n 20
! python3 "$ROOT/scripts/pe.py" inspect "$signed" --arch "$ARCH" --brand "$work/brand" >/dev/null
check $? "the shipped client does not pass for the brand's"

# Runs the certificate refuses, each from the operator's folder into refused/, which holds the release just made and a
# file of the operator's own. $1: the case; $2: the last line wanted; the rest: the signing variables, as given.
refused()
{
    rm -rf "$work/refused"
    mkdir -p "$work/refused"
    cp "$work/signed"/* "$work/refused/"
    echo "the operator's own" >"$work/refused/notes.txt"
    out=$(cd "$work" && env "${@:3}" bash "$ROOT/scripts/release.sh" refused 2>&1)
    status=$?
    [ "$status" -ne 0 ] && [ "$(tail -n 1 <<<"$out")" = "$2" ] && [ "$(ls -A "$work/refused")" = notes.txt ]
    check $? "$1: ends with its reason, leaves only the operator's own file (the previous release goes)"
    if [ "$(tail -n 1 <<<"$out")" != "$2" ] || [ "$(ls -A "$work/refused")" != notes.txt ]; then
        echo "  wanted the last line: $2"
        echo "  got (status $status), leaving $(ls -A "$work/refused" | tr '\n' ' '):"
        tail -n 5 <<<"$out" | sed 's/^/    /'
    fi
}
printf 'not the password' >"$work/wrong-password"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/other-key.pem" -out "$work/other-ca.pem" -days 30 \
    -subj "/CN=Another authority" >>"$work/openssl.log" 2>&1
refused "a wrong password" \
    "release: $work/operator.p12: the password in $work/wrong-password does not open it (wrong password?)" \
    LUMORA_SIGN_CERTIFICATE=operator.p12 LUMORA_SIGN_PASSWORD_FILE=wrong-password LUMORA_SIGN_CA_FILE=cert.pem
refused "a file that is no certificate" "release: $work/cert.pem: not a PKCS#12 file, expected the code-signing \
certificate with its private key (.p12, .pfx)" LUMORA_SIGN_CERTIFICATE=cert.pem LUMORA_SIGN_PASSWORD_FILE=password
refused "a CA that did not issue the certificate" "release: the signature of the i686 client does not verify: its \
certificate's chain does not verify against $work/other-ca.pem: self-signed certificate" \
    LUMORA_SIGN_CERTIFICATE=operator.p12 LUMORA_SIGN_PASSWORD_FILE=password LUMORA_SIGN_CA_FILE=other-ca.pem

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
