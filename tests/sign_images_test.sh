#!/usr/bin/env bash
# Signs copies of the Windows deliverables with SIGN_SCRIPT (sign-images.sh) and a throwaway
# self-signed certificate, and checks what a kit maintainer relies on: both verify, a changed byte does
# not, each differs from the unsigned image in its signature alone, the password reaches no command
# line and no output, a time-stamp from a local time-stamping authority verifies, an empty password
# may come in a file of no bytes, and a wrong password, a file that is not a PKCS#12 file, a failed
# time-stamp request or a folder named as an image leaves the images untouched and nothing beside
# them. The signed copies stay in WORK_DIR/signed for the checks under Wine.
# Usage: sign_images_test.sh SIGN_SCRIPT WORK_DIR IMAGE...
set -uo pipefail

sign_script=$1
work=$2
shift 2
images=("$@")

failures=0
tsa_pid=
rm -rf "$work"
mkdir -p "$work/signed"
stop_tsa() {
    [ -n "$tsa_pid" ] && kill "$tsa_pid" 2>/dev/null && wait "$tsa_pid" 2>/dev/null
    tsa_pid=
}
trap stop_tsa EXIT

fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

ok() {
    echo "ok: $*"
}

# A password that a shell would split and expand, so that any use of it outside its file shows.
password='pass word $HOME "quoted"'
printf '%s\n' "$password" >"$work/password"
printf 'not the password\n' >"$work/wrong-password"

# The throwaway code-signing certificate, RSA as real ones are, and a time-stamping one.
openssl req -x509 -newkey rsa:3072 -nodes -days 2 -subj "/CN=VEXA Kit throwaway code signing" \
    -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
    -keyout "$work/signer.key" -out "$work/signer.pem" >/dev/null 2>&1 &&
    openssl pkcs12 -export -inkey "$work/signer.key" -in "$work/signer.pem" \
        -passout "file:$work/password" -out "$work/signer.p12" &&
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=VEXA Kit throwaway time stamping" \
        -addext "keyUsage=critical,digitalSignature" \
        -addext "extendedKeyUsage=critical,timeStamping" \
        -keyout "$work/tsa.key" -out "$work/tsa.pem" >/dev/null 2>&1 || {
    echo "FAILED: the throwaway certificates could not be made"
    exit 1
}

# osslsigncode as the script calls it, recording every command line it is given.
mkdir -p "$work/path"
cat >"$work/path/osslsigncode" <<EOF
#!/bin/sh
printf '%s\n' "\$*" >>"$work/command-lines"
exec $(command -v osslsigncode) "\$@"
EOF
chmod +x "$work/path/osslsigncode"

# Runs the signing script over fresh copies of the images in the folder copies-NAME, which becomes
# $dir, with the environment VARIABLE=VALUE...; its output goes to $dir.out. Returns the script's
# status.
sign() {
    local image files=()
    dir=$work/copies-$1
    shift
    rm -rf "$dir" && mkdir -p "$dir" && cp "${images[@]}" "$dir/" || return
    for image in "${images[@]}"; do files+=("$dir/$(basename "$image")"); done
    env "$@" PATH="$work/path:$PATH" bash "$sign_script" "${files[@]}" >"$dir.out" 2>&1
}
credentials=(VEXA_SIGN_PKCS12="$work/signer.p12" VEXA_SIGN_PASSWORD_FILE="$work/password")

# Every image in DIR verifies against the throwaway certificate, with the time-stamping one too
# when given.
expect_verified() {
    local dir=$1 tsa=${2:-} image output
    for image in "${images[@]}"; do
        image=$dir/$(basename "$image")
        if output=$(osslsigncode verify -CAfile "$work/signer.pem" ${tsa:+-TSA-CAfile "$tsa"} \
            -in "$image" 2>&1); then
            ok "$(basename "$image") verifies"
        else
            fail "$(basename "$image") does not verify:"
            sed 's/^/    /' <<<"$output"
        fi
        if [ -n "$tsa" ]; then
            grep -q 'Timestamp Server Signature verification: ok' <<<"$output" &&
                ok "$(basename "$image") carries a time-stamp that verifies" ||
                fail "$(basename "$image") has no time-stamp that verifies"
        fi
    done
}

# Nothing but the images in DIR: no partly signed file is left beside them.
expect_alone() {
    local dir=$1 left
    left=$(ls -A "$dir" | wc -l)
    [ "$left" -eq "${#images[@]}" ] && ok "nothing left beside the images" ||
        fail "files left beside the images: $(ls -A "$dir" | tr '\n' ' ')"
}

# Signing copies in the folder NAME with the environment VARIABLE=VALUE... is refused: the script
# fails and says WHY, and leaves the images as they were, alone.
expect_refused() {
    local why=$2 image
    sign "$1" "${@:3}" && fail "signed the copies in $dir"
    if [ -s "$dir.out" ] && ! grep -q '^signed ' "$dir.out" && grep -qi "$why" "$dir.out"; then
        ok "refused: $(head -n 1 "$dir.out")"
    else
        fail "no refusal saying [$why]:"
        sed 's/^/    /' "$dir.out"
    fi
    for image in "${images[@]}"; do
        cmp -s "$image" "$dir/$(basename "$image")" || fail "$(basename "$image") was changed"
    done
    expect_alone "$dir"
}

echo "--- signed with the throwaway certificate"
if sign plain "${credentials[@]}"; then
    ok "signed: $(tr '\n' ' ' <"$dir.out")"
else
    fail "the signing failed:"
    sed 's/^/    /' "$dir.out"
fi
expect_verified "$dir"
expect_alone "$dir"
for image in "${images[@]}"; do
    name=$(basename "$image")
    cp "$dir/$name" "$work/signed/$name"
    # Its signature, attached to the unsigned image as a rebuild gives it, makes the signed image.
    osslsigncode extract-signature -in "$dir/$name" -out "$work/$name.signature" >/dev/null &&
        osslsigncode attach-signature -sigin "$work/$name.signature" -CAfile "$work/signer.pem" \
            -in "$image" -out "$work/attached-$name" >/dev/null &&
        cmp "$dir/$name" "$work/attached-$name" &&
        ok "$name differs from the unsigned image in its signature alone" ||
        fail "$name with its signature attached to the unsigned image is not the signed $name"
    # One byte of the code, past the headers, with all its bits flipped.
    cp "$dir/$name" "$work/changed-$name"
    byte=$(od -An -tu1 -j 1100 -N 1 "$dir/$name" | tr -d ' ')
    printf "\\x$(printf %02x $((byte ^ 255)))" |
        dd of="$work/changed-$name" bs=1 seek=1100 conv=notrunc status=none
    if osslsigncode verify -CAfile "$work/signer.pem" -in "$work/changed-$name" >/dev/null 2>&1; then
        fail "$name with one byte changed still verifies"
    else
        ok "$name with one byte changed fails verification"
    fi
done

echo "--- an empty password, in a file of no bytes"
: >"$work/no-bytes"
openssl pkcs12 -export -inkey "$work/signer.key" -in "$work/signer.pem" -passout pass: \
    -out "$work/signer-empty.p12"
sign empty VEXA_SIGN_PKCS12="$work/signer-empty.p12" VEXA_SIGN_PASSWORD_FILE="$work/no-bytes"
expect_verified "$dir"

echo "--- the password"
if grep -qF -- "$password" "$work/command-lines"; then
    fail "the password was on osslsigncode's command line"
elif ! grep -q -- '-readpass' "$work/command-lines"; then
    fail "osslsigncode was not handed the password file"
else
    ok "osslsigncode got the password file, never the password"
fi

echo "--- time-stamped by a local time-stamping authority"
# It answers for at most 120 s.
/usr/bin/python3 "$(dirname "$0")/timestamp_server.py" "$work" &
tsa_pid=$!
for _ in $(seq 100); do
    [ -f "$work/tsa.port" ] && break
    sleep 0.1
done
if [ -f "$work/tsa.port" ]; then
    sign stamped "${credentials[@]}" VEXA_SIGN_TIMESTAMP_URL="http://127.0.0.1:$(cat "$work/tsa.port")" ||
        { fail "the time-stamped signing failed:"; sed 's/^/    /' "$dir.out"; }
    expect_verified "$dir" "$work/tsa.pem"
else
    fail "the local time-stamping authority did not start"
fi
stop_tsa

echo "--- refusals"
expect_refused wrong-password "password in .* is wrong" \
    "${credentials[@]}" VEXA_SIGN_PASSWORD_FILE="$work/wrong-password"
expect_refused not-pkcs12 "or the file is not a PKCS#12 file" \
    "${credentials[@]}" VEXA_SIGN_PKCS12="$work/signer.pem"
# The port of the stopped authority: nothing answers there now.
expect_refused failed-time-stamp "time-stamp request to .* failed" "${credentials[@]}" \
    VEXA_SIGN_TIMESTAMP_URL="http://127.0.0.1:$(cat "$work/tsa.port" 2>/dev/null || echo 9)"
expect_refused no-certificate "VEXA_SIGN_PKCS12 is not set" \
    "${credentials[@]}" VEXA_SIGN_PKCS12=
output=$(env "${credentials[@]}" bash "$sign_script" "$work/signed" 2>&1) && fail "signed a folder"
grep -q "signed is a folder" <<<"$output" && ok "refused: $output" || fail "a folder: $output"

if grep -qF -- "$password" "$work"/*.out; then
    fail "the password was in the signing script's output"
else
    ok "the password was in none of the signing script's output"
fi

[ "$failures" -eq 0 ]
