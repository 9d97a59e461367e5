#!/usr/bin/env bash
# Signs Windows files (soranika.exe, the .msi) with Authenticode, SHA-256,
# in place, when a code-signing certificate is supplied:
#
#   SORANIKA_SIGN_PKCS12=cert.p12 SORANIKA_SIGN_PASSWORD=... \
#   [SORANIKA_SIGN_TIMESTAMP_URL=http://tsa.example/] packaging/windows/sign.sh FILE...
#
# SORANIKA_SIGN_PKCS12 names a PKCS#12 file with the certificate, its chain
# and the private key, SORANIKA_SIGN_PASSWORD its password (it reaches
# osslsigncode through a private file, not its command line). With
# SORANIKA_SIGN_TIMESTAMP_URL the signatures get an RFC 3161 timestamp from
# that server, so that they stay valid after the certificate expires.
# Without a certificate the files stay as they are, and one line says so.
# A file that cannot be signed fails the whole run and is left unchanged.
set -euo pipefail
if [ $# -eq 0 ]; then
    echo "usage: sign.sh FILE..." >&2
    exit 2
fi
if [ -z "${SORANIKA_SIGN_PKCS12:-}" ]; then
    echo "unsigned: $* (no SORANIKA_SIGN_PKCS12)"
    exit 0
fi
[ -f "$SORANIKA_SIGN_PKCS12" ] || { echo "sign.sh: no file $SORANIKA_SIGN_PKCS12" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(umask 077 && printf '%s' "${SORANIKA_SIGN_PASSWORD:-}" >"$work/password")
timestamp=()
if [ -n "${SORANIKA_SIGN_TIMESTAMP_URL:-}" ]; then
    timestamp=(-ts "$SORANIKA_SIGN_TIMESTAMP_URL")
fi
for file in "$@"; do
    if ! osslsigncode sign -pkcs12 "$SORANIKA_SIGN_PKCS12" -readpass "$work/password" \
        -h sha256 -n ソラニカ "${timestamp[@]}" -in "$file" -out "$work/signed" >"$work/log" 2>&1; then
        cat "$work/log" >&2
        echo "sign.sh: could not sign $file" >&2
        exit 1
    fi
    cat "$work/signed" >"$file"
    rm -f "$work/signed"
    echo "signed: $file"
done
