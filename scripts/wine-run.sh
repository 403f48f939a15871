#!/usr/bin/env bash
# CTest's emulator for the test programs of a cross tree: runs one under the Wine session its test names in
# LUMORA_SESSION_DIR (a property of the test), which the test's fixture started (scripts/session.sh).
if [ -z "${LUMORA_SESSION_DIR:-}" ]; then
    echo "wine-run: no Wine session named: run the test through ctest, whose fixture starts its session" >&2
    exit 1
fi
exec bash "$(dirname "${BASH_SOURCE[0]}")/session.sh" wine "$LUMORA_SESSION_DIR" "$@"
