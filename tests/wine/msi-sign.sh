#!/usr/bin/env bash
# Checks packaging/windows/sign.sh with a throw-away self-signed certificate
# made here: without a certificate the files stay as they are and one line
# says so; with a wrong password nothing is signed and the run fails; with
# the certificate soranika.exe and the .msi carry a SHA-256 Authenticode
# signature that osslsigncode verifies against it, and the signed .msi still
# installs under Wine, with the signed program, which still runs.
#   msi-sign.sh OUTDIR STAGE_DIR IDENTITY WXS WINE-RUN PREFIX
# IDENTITY and WXS are the Windows build's soranika-identity.sh and WiX
# source; PREFIX is the prepared Wine prefix; it is copied, never changed.
# Windows also checks the signature itself (Wine does not), against a
# certificate it trusts: that, and a timestamp server, need a real
# certificate and a real Windows.
set -euo pipefail
if [ $# -ne 6 ]; then
    echo "usage: msi-sign.sh OUTDIR STAGE_DIR IDENTITY WXS WINE-RUN PREFIX" >&2
    exit 2
fi
out=$(realpath -m "$1")
stage=$(realpath "$2")
identity=$(realpath "$3")
wxs=$(realpath "$4")
wine_run=$(realpath "$5") prepared=$(realpath -m "$6")
# shellcheck source=/dev/null
. "$identity"
version=$soranika_version
# shellcheck source=prefix-steps.sh
. "$(dirname "$0")/prefix-steps.sh"
here=$(cd "$(dirname "$0")/../.." && pwd)
sign=$here/packaging/windows/sign.sh
rm -rf "$out"
mkdir -p "$out"
# Code page 932 in Wine, as on a Japanese Windows (see msi-install.sh).
export LC_ALL=ja_JP.UTF-8
cd "$out"
failures=0
fail() {
    echo "msi-sign.sh: $1" >&2
    failures=$((failures + 1))
}

openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 \
    -subj "/CN=ソラニカ test signing" -addext extendedKeyUsage=codeSigning 2>/dev/null
openssl pkcs12 -export -inkey key.pem -in cert.pem -out cert.p12 -passout pass:test-password
cp -a "$stage" stage
signed() {
    osslsigncode verify -CAfile cert.pem -in "$1" >verify.log 2>&1 &&
        grep -qE '^Message digest algorithm *: SHA256$' verify.log
}

# CASE|PKCS12|PASSWORD|EXIT (0 or "fail")|OUTPUT|SIGNED (yes/no)
while IFS='|' read -r case pkcs12 password exits output expect_signed; do
    cp "$stage/soranika.exe" "$case.exe"
    status=0
    printed=$(SORANIKA_SIGN_PKCS12=$pkcs12 SORANIKA_SIGN_PASSWORD=$password \
        "$sign" "$case.exe" 2>"$case.err") || status=$?
    if [ "$exits" = 0 ] && [ "$status" -ne 0 ]; then
        fail "$case: sign.sh failed: $(cat "$case.err")"
    elif [ "$exits" = fail ] && [ "$status" -eq 0 ]; then
        fail "$case: sign.sh did not fail"
    fi
    [ "$printed" = "$output" ] || fail "$case: sign.sh printed '$printed', not '$output'"
    if [ "$expect_signed" = yes ]; then
        signed "$case.exe" || fail "$case: no valid SHA-256 signature: $(tail -n 3 verify.log)"
    elif ! cmp -s "$case.exe" "$stage/soranika.exe"; then
        fail "$case: soranika.exe was changed"
    fi
done <<CASES
no-certificate|||0|unsigned: no-certificate.exe (no SORANIKA_SIGN_PKCS12)|no
wrong-password|cert.p12|wrong|fail||no
certificate|cert.p12|test-password|0|signed: certificate.exe|yes
CASES

# The signed program in a signed package, installed and started.
cp "certificate.exe" stage/soranika.exe
make_msi "$out/stage" "$wxs" "$identity" "$out/signed.msi"
SORANIKA_SIGN_PKCS12=cert.p12 SORANIKA_SIGN_PASSWORD=test-password "$sign" signed.msi >/dev/null
signed signed.msi || fail "the .msi has no valid SHA-256 signature: $(tail -n 3 verify.log)"
fresh_prefix "$out/prefix"
in_wine msiexec.exe /i "$(windows_path "$out/signed.msi")" /qn \
    >install.log 2>&1 || fail "the signed .msi did not install ($?, modulo 256)"
installed=$user_folder/soranika.exe
[ -f "$installed" ] || installed=''

if [ -z "$installed" ] || ! cmp -s "$installed" certificate.exe; then
    fail "the installed soranika.exe is not the signed one: '$installed'"
else
    answer=$(timeout 60 "$wine_run" "$out/prefix" "$installed" --version 2>&1 || true)
    grep -q "$version" <<<"$answer" || fail "the signed soranika.exe --version said: $answer"
fi

if [ "$failures" -ne 0 ]; then
    echo "msi-sign.sh: $failures failures; see $out" >&2
    exit 1
fi
echo "sign.sh: unsigned without a certificate, refused with a wrong password," \
    "SHA-256 signatures that verify, installed and started"
rm -rf "$out/prefix" "$out/stage"
