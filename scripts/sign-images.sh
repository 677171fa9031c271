#!/usr/bin/env bash
# Signs Windows images (Install.exe, VEXA.dll) in place with Authenticode, SHA-256, by osslsigncode.
# Usage: sign-images.sh IMAGE...   (scripts/ in the source tree, windows/tools/ in the kit)
# The certificate comes from the environment:
#   VEXA_SIGN_PKCS12          a PKCS#12 file holding the code-signing certificate and its key
#   VEXA_SIGN_PASSWORD_FILE   a file holding its password (the first line; may be empty)
#   VEXA_SIGN_TIMESTAMP_URL   optional: an RFC 3161 time-stamping server
# Each image is signed into a file beside it, and every signature is verified against the
# certificates it carries and the system's CA bundle; only when all images are signed and verified
# do the signed files replace them. On any failure no image is changed and nothing is left behind.
# The password is handed to osslsigncode by its file's name only, never on a command line.
set -uo pipefail

# Bounds a time-stamp request to a server that does not answer.
sign_timeout=180
system_ca_bundle=/etc/ssl/certs/ca-certificates.crt

fail() {
    echo "sign-images.sh: $*" >&2
    exit 1
}

[ $# -gt 0 ] || fail "usage: $0 IMAGE..."
[ -n "${VEXA_SIGN_PKCS12:-}" ] || fail "VEXA_SIGN_PKCS12 is not set: name the PKCS#12 file to sign with"
[ -n "${VEXA_SIGN_PASSWORD_FILE:-}" ] ||
    fail "VEXA_SIGN_PASSWORD_FILE is not set: name the file that holds the PKCS#12 file's password"
for variable in VEXA_SIGN_PKCS12 VEXA_SIGN_PASSWORD_FILE; do
    [ -f "${!variable}" ] && [ -r "${!variable}" ] || fail "$variable: ${!variable} is not a readable file"
done
command -v osslsigncode >/dev/null || fail "osslsigncode is not installed (apt-get install osslsigncode)"
command -v openssl >/dev/null || fail "openssl is not installed (apt-get install openssl)"
for image in "$@"; do
    [ ! -d "$image" ] || fail "$image is a folder: name the images in it"
    [ -f "$image" ] || fail "$image: no such file"
done

work=$(mktemp -d) || fail "cannot make a temporary folder"
signed=()
cleanup() {
    rm -f "${signed[@]}"
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM

# osslsigncode refuses a password file of no bytes; one holding an empty line gives it the same
# empty password.
password_file=$VEXA_SIGN_PASSWORD_FILE
if [ ! -s "$password_file" ]; then
    password_file=$work/empty-password
    echo >"$password_file"
fi

# Says what went wrong, then osslsigncode's own words, indented.
report() {
    echo "sign-images.sh: ${*:2}" >&2
    sed 's/^/    /' <<<"$1" >&2
    exit 1
}

timestamp=()
stamped=
if [ -n "${VEXA_SIGN_TIMESTAMP_URL:-}" ]; then
    timestamp=(-ts "$VEXA_SIGN_TIMESTAMP_URL")
    stamped=" (time-stamped)"
fi

images=("$@")
for image in "${images[@]}"; do
    name=$(basename "$image")
    partial=$(dirname "$image")/.$name.signing
    signed+=("$partial")
    rm -f "$partial"
    output=$(timeout "$sign_timeout" osslsigncode sign -pkcs12 "$VEXA_SIGN_PKCS12" \
        -readpass "$password_file" -h sha256 "${timestamp[@]}" \
        -in "$image" -out "$partial" 2>&1)
    status=$?
    if [ "$status" -eq 124 ]; then
        report "$output" "signing $name took more than ${sign_timeout}s; the time-stamp server" \
            "did not answer"
    elif [ "$status" -ne 0 ]; then
        if grep -qE 'PKCS#12|key or certificates' <<<"$output"; then
            report "$output" "cannot read the certificate in $VEXA_SIGN_PKCS12: the password in" \
                "$VEXA_SIGN_PASSWORD_FILE is wrong, or the file is not a PKCS#12 file"
        elif [ -n "$stamped" ] && grep -qi 'timestamp' <<<"$output"; then
            report "$output" "the time-stamp request to $VEXA_SIGN_TIMESTAMP_URL failed"
        fi
        report "$output" "signing $name failed"
    fi

    # The chain the signature carries, and the system's CAs for one that ends in a public root.
    osslsigncode extract-signature -pem -in "$partial" -out "$work/$name.p7" >/dev/null 2>&1 &&
        openssl pkcs7 -print_certs -in "$work/$name.p7" -out "$work/$name.chain" 2>/dev/null ||
        fail "the signature written into $name cannot be read back"
    [ -f "$system_ca_bundle" ] && cat "$system_ca_bundle" >>"$work/$name.chain"
    if ! output=$(osslsigncode verify -CAfile "$work/$name.chain" -in "$partial" 2>&1); then
        report "$output" "the signed $name does not verify against the certificates in its" \
            "signature and the system's CA bundle; put the whole chain, its root included, into" \
            "the PKCS#12 file"
    fi
    chmod --reference="$image" "$partial"
done

for index in "${!images[@]}"; do
    mv -f "${signed[index]}" "${images[index]}" ||
        fail "cannot replace ${images[index]} with its signed form"
    echo "signed ${images[index]}$stamped"
done
signed=()
