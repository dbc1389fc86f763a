#!/usr/bin/env bash
# Signs Windows programs with Authenticode (SHA-256) through osslsigncode, in
# place, with the certificate and key that the publisher gives: a PKCS#12 file
# (.pfx, .p12), or a PEM certificate (with its chain) and a PEM key. With a
# timestamp server (RFC 3161, from the certificate's issuer) the signature
# stays valid after the certificate has expired. A program that is signed
# already is signed anew, with one signature.
#
#   scripts/sign.sh (--pfx FILE | --cert FILE --key FILE) [--password-file FILE]
#                   [--timestamp URL] [--description TEXT] [--url URL] [PROGRAM...]
#
# Without PROGRAM, the Windows build's Velkast.exe and velkast-check.exe (in
# build/windows, or the folder VELKAST_BUILD_DIR names). Sign after the last
# build and before the package (`cmake --build --preset windows --target
# package`), which takes the programs from the build folder as they are.
#
# --password-file names a file whose first line is the password of the PFX or
# of an encrypted key (never given on the command line). --description is the
# program name that the elevation prompt shows (default "Velkast"), --url a
# web page of the publisher. A program that cannot be signed is left as it
# was; the exit status is 0 when every program was signed.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)

usage() {
    sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'
}
fail() {
    echo "sign: $*" >&2
    exit 64
}

pfx="" cert="" key="" password="" timestamp="" description="Velkast" url=""
programs=()
while [ $# -gt 0 ]; do
    case "$1" in
        --pfx) pfx=${2:?}; shift ;;
        --cert) cert=${2:?}; shift ;;
        --key) key=${2:?}; shift ;;
        --password-file) password=${2:?}; shift ;;
        --timestamp) timestamp=${2:?}; shift ;;
        --description) description=${2:?}; shift ;;
        --url) url=${2:?}; shift ;;
        -h | --help) usage; exit 0 ;;
        -*) fail "unknown option $1 (see --help)" ;;
        *) programs+=("$1") ;;
    esac
    shift
done

credentials=()
if [ -n "$pfx" ] && [ -z "$cert$key" ]; then
    credentials=(-pkcs12 "$pfx")
elif [ -z "$pfx" ] && [ -n "$cert" ] && [ -n "$key" ]; then
    credentials=(-certs "$cert" -key "$key")
else
    fail "give --pfx FILE, or --cert FILE and --key FILE (see --help)"
fi
for file in "$pfx" "$cert" "$key" "$password"; do
    [ -z "$file" ] || [ -r "$file" ] || fail "cannot read $file"
done
[ -z "$password" ] || credentials+=(-readpass "$password")
options=(-h sha256 -n "$description")
[ -z "$url" ] || options+=(-i "$url")
[ -z "$timestamp" ] || options+=(-ts "$timestamp")

if [ ${#programs[@]} -eq 0 ]; then
    build=${VELKAST_BUILD_DIR:-$repo/build/windows}
    programs=("$build/src/Velkast.exe" "$build/src/tools/check/velkast-check.exe")
fi
command -v osslsigncode >/dev/null || { echo "sign: osslsigncode is missing (scripts/setup.sh installs it)" >&2; exit 1; }

status=0
for program in "${programs[@]}"; do
    if [ ! -f "$program" ]; then
        echo "sign: no program $program" >&2
        status=1
        continue
    fi
    # Written beside the program and moved over it only once it is signed.
    unsigned=$(mktemp "$program.unsigned.XXXXXX")
    signed=$(mktemp "$program.signed.XXXXXX")
    log=$(mktemp)
    rm -f "$unsigned" "$signed"
    if osslsigncode remove-signature -in "$program" -out "$unsigned" >"$log" 2>&1; then
        input=$unsigned
    else
        input=$program  # not signed yet
    fi
    if osslsigncode sign "${credentials[@]}" "${options[@]}" -in "$input" -out "$signed" >"$log" 2>&1; then
        chmod --reference="$program" "$signed"
        mv -f "$signed" "$program"
        echo "sign: signed $program"
    else
        sed 's/^/  /' "$log" >&2
        echo "sign: could not sign $program; it is left as it was" >&2
        status=1
    fi
    rm -f "$unsigned" "$signed" "$log"
done
exit $status
