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

# Verifies the signature of $1 (its digest over the file's bytes and its certificate's chain); prints osslsigncode's
# report on failure. Returns 0 only for a good signature.
lumora_verify()
{
    local report args=(verify -in "$1")
    [ -n "${LUMORA_SIGN_CA_FILE:-}" ] && args+=(-CAfile "$LUMORA_SIGN_CA_FILE")
    if ! report=$(osslsigncode "${args[@]}" 2>&1); then
        printf '%s\n' "$report" | grep -E 'MISMATCH|[Ff]ail|[Ee]rror|No signature' >&2
        return 1
    fi
}
