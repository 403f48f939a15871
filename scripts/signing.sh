# shellcheck shell=bash
# Sourced by scripts/release.sh (and its test): Authenticode signatures with Debian's osslsigncode. The password of
# the certificate never stands on a command line, where any user of the machine could read it from the process list:
# osslsigncode reads it from a file, or from a pipe fed by the shell itself.
#
# The operator's certificate and its password:
#   LUMORA_SIGN_CERTIFICATE     the code-signing certificate with its private key, a PKCS#12 file (.p12, .pfx)
#   LUMORA_SIGN_PASSWORD_FILE   a file that holds the password, or
#   LUMORA_SIGN_PASSWORD        the password itself (read from the environment only)
#   LUMORA_SIGN_CA_FILE         the certificates a signature is verified against (default: the system's)
#   LUMORA_TIMESTAMP_URL        an RFC 3161 time-stamping server; without one a signature carries no time stamp

# Signs $1 into $2, made at the time $3 (seconds since 1970): a fixed signing time, and no time stamp, make the same
# file sign to the same bytes every time. Returns osslsigncode's status; its output goes to standard error.
lumora_sign()
{
    local in=$1 out=$2 time=$3
    local args=(sign -pkcs12 "$LUMORA_SIGN_CERTIFICATE" -h sha256 -time "$time")
    [ -n "${LUMORA_TIMESTAMP_URL:-}" ] && args+=(-ts "$LUMORA_TIMESTAMP_URL")
    rm -f "$out"
    if [ -n "${LUMORA_SIGN_PASSWORD_FILE:-}" ]; then
        osslsigncode "${args[@]}" -readpass "$LUMORA_SIGN_PASSWORD_FILE" -in "$in" -out "$out" >&2
    elif [ -n "${LUMORA_SIGN_PASSWORD:-}" ]; then
        # printf is the shell's own: the password reaches the pipe without a process whose arguments show it.
        osslsigncode "${args[@]}" -readpass <(printf '%s' "$LUMORA_SIGN_PASSWORD") -in "$in" -out "$out" >&2
    else
        osslsigncode "${args[@]}" -in "$in" -out "$out" >&2
    fi
}

# The one line that says why signing failed, from osslsigncode's output in the file $1: its own words are spread over
# several lines, the telling one first and OpenSSL's codes after it.
lumora_sign_failure()
{
    local log=$1 password line
    if [ -n "${LUMORA_SIGN_PASSWORD_FILE:-}" ]; then
        password="the password in $LUMORA_SIGN_PASSWORD_FILE"
    elif [ -n "${LUMORA_SIGN_PASSWORD:-}" ]; then
        password="the password in LUMORA_SIGN_PASSWORD"
    else
        password="no password (neither LUMORA_SIGN_PASSWORD_FILE nor LUMORA_SIGN_PASSWORD is given)"
    fi
    if grep -q 'Wrong password?' "$log"; then
        echo "$LUMORA_SIGN_CERTIFICATE: $password does not open it (wrong password?)"
    elif grep -q 'Failed to extract PKCS#12 data' "$log"; then
        echo "$LUMORA_SIGN_CERTIFICATE: not a PKCS#12 file, expected the code-signing certificate with its private" \
            "key (.p12, .pfx)"
    elif line=$(grep -m 1 'HTTP failure' "$log") || grep -q 'timestamping failed' "$log"; then
        echo "the time-stamping server ${LUMORA_TIMESTAMP_URL:-} did not answer${line:+ ($line)}, expected an" \
            "RFC 3161 server (LUMORA_TIMESTAMP_URL)"
    elif line=$(grep -v -m 1 -E '^(Failed|Succeeded|Connecting to .*)$|^[0-9A-F]+:error:|^$' "$log"); then
        echo "signing failed: $line"
    else
        echo "signing failed, and osslsigncode said no more than: $(tr '\n' ' ' <"$log")"
    fi
}

# Verifies the signature of $1 (its digest over the file's bytes and its certificate's chain). Returns 0 only for a
# good signature; otherwise prints one line on standard error saying why.
lumora_verify()
{
    local report line against="the system's certificates" args=(verify -in "$1")
    if [ -n "${LUMORA_SIGN_CA_FILE:-}" ]; then
        args+=(-CAfile "$LUMORA_SIGN_CA_FILE")
        against=$LUMORA_SIGN_CA_FILE
    fi
    report=$(osslsigncode "${args[@]}" 2>&1) && return 0
    if grep -q 'MISMATCH' <<<"$report"; then
        echo "the file's digest does not match the one signed (the file changed after signing)" >&2
    elif grep -q 'No signature found' <<<"$report"; then
        echo "the file carries no signature" >&2
    elif line=$(grep -m 1 -E '^[[:space:]]*Error: ' <<<"$report"); then
        echo "its certificate's chain does not verify against $against: ${line#*Error: }" >&2
    else
        echo "$(grep -m 1 -E '[Ff]ail|[Ee]rror' <<<"$report" || echo "osslsigncode verify failed")" >&2
    fi
    return 1
}
