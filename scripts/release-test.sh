#!/usr/bin/env bash
# Tests a release as a publisher makes one, from the windows preset's build
# (brought up to date here) and the host-release preset's (configured and
# built here):
# - signing: scripts/sign.sh with a throw-away self-signed certificate, given
#   as a PEM certificate and key and as a PFX with a password: `osslsigncode
#   verify` accepts each signature against that certificate (SHA-256, the
#   signer, the description), signing again leaves one signature, a changed
#   byte breaks it, and removing it gives back the unsigned program; a wrong
#   password or a timestamp server that cannot be reached fails and leaves the
#   program as it was;
# - the Windows package, made the documented way (build, sign, `--target
#   package`): its files and nothing else, their sums, the signatures inside
#   it, the sample update's texts (code page 932 with CR LF) and the UTF-8 flag
#   of its Japanese names; the signed Velkast.exe from it run once under Wine
#   (no Update.up beside it: its box), the signed velkast-check.exe --version;
#   then the same package made unsigned;
# - the Linux package: its files and sums, --version, and the sample update
#   checked by its velkast-check: accepted.
# The build's programs are signed only for the time of the test and are put
# back as they were. Wine needs a display: without DISPLAY, Xvfb is started.
# Exit status 0 when every check passes.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
repo=$PWD
. scripts/setup.sh
velkast_setup || exit 1

windows=$repo/build/windows
host=$repo/build/host-release
tmp=$(mktemp -d "$repo/build/release-test.XXXXXX")
programs=("$windows/src/Velkast.exe" "$windows/src/tools/check/velkast-check.exe")
started_display=""
cleanup() {
    # The build's programs as they were, unsigned (their times kept, so that
    # nothing is linked again).
    for program in "${programs[@]}"; do
        [ -f "$tmp/unsigned/${program##*/}" ] && cp -p "$tmp/unsigned/${program##*/}" "$program"
    done
    rm -rf "$tmp"
    if [ -n "$started_display" ]; then
        WINEPREFIX=$windows/wineprefix wineserver -k >/dev/null 2>&1
        velkast_stop_display
    fi
}
trap cleanup EXIT

failures=0
expect() {
    local what=$1
    shift
    if "$@"; then
        echo "  ok: $what"
    else
        echo "  FAILED: $what" >&2
        failures=$((failures + 1))
    fi
}
not() { ! "$@"; }
same() { cmp -s "$1" "$2"; }
contains() { grep -qF -- "$2" "$1"; }

echo "=== building: windows (up to date), host-release"
cmake --build --preset windows >/dev/null || exit 1
{ cmake --preset host-release >/dev/null && cmake --build --preset host-release >/dev/null; } || exit 1
version=$(sed -n 's/^#define VELKAST_VERSION "\(.*\)"$/\1/p' "$windows/generated/VelkastVersion.h")
[ -n "$version" ] || { echo "release-test: no version in VelkastVersion.h" >&2; exit 1; }
echo "version $version"
if [ -z "${DISPLAY:-}" ]; then
    velkast_start_display || exit 1
    started_display=1
fi

# --- Signing ---------------------------------------------------------------------
echo "=== signing with a throw-away certificate"
mkdir -p "$tmp/unsigned" "$tmp/sign"
for program in "${programs[@]}"; do
    cp -p "$program" "$tmp/unsigned/"
done
cert=$tmp/cert.pem key=$tmp/key.pem pfx=$tmp/publisher.pfx
printf 'a password\n' >"$tmp/password.txt"
printf 'not the password\n' >"$tmp/wrong.txt"
if ! openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Velkast Test Publisher" \
    -addext extendedKeyUsage=codeSigning -keyout "$key" -out "$cert" >/dev/null 2>&1 ||
    ! openssl pkcs12 -export -inkey "$key" -in "$cert" -passout file:"$tmp/password.txt" -out "$pfx"; then
    echo "release-test: openssl could not make the certificate" >&2
    exit 1
fi

unsigned=$tmp/unsigned/Velkast.exe
verify() { osslsigncode verify -CAfile "$cert" -in "$1" >"$tmp/verify.txt" 2>&1; }
signed_well() {
    verify "$1" &&
        contains "$tmp/verify.txt" "Message digest algorithm  : SHA256" &&
        contains "$tmp/verify.txt" "Subject: /CN=Velkast Test Publisher" &&
        contains "$tmp/verify.txt" "Text description: $2"
}
# After signing again: the new signature, and no trace of the first one.
signed_once_more() {
    signed_well "$1" "$2" && not grep -q "Text description: Velkast$" "$tmp/verify.txt"
}
unsigned_again() {
    rm -f "$tmp/removed.exe"
    osslsigncode remove-signature -in "$1" -out "$tmp/removed.exe" >/dev/null 2>&1 && same "$tmp/removed.exe" "$unsigned"
}
# One byte of the code, inverted.
tamper() {
    local byte
    byte=$(od -An -tu1 -j 8192 -N 1 "$1" | tr -d ' ')
    printf '%b' "\\$(printf %03o $((byte ^ 255)))" | dd of="$1" bs=1 seek=8192 conv=notrunc status=none
}

while IFS='|' read -r what words; do
    read -r -a options <<<"$words"
    copy=$tmp/sign/Velkast.exe
    cp "$unsigned" "$copy"
    scripts/sign.sh "${options[@]}" "$copy" >/dev/null
    expect "$what: signed, SHA-256, verified against the certificate" signed_well "$copy" Velkast
    scripts/sign.sh "${options[@]}" --description "Velkast アップデート" "$copy" >/dev/null
    expect "$what: signed again: one signature, the new one" signed_once_more "$copy" "Velkast アップデート"
    expect "$what: without its signature, the unsigned program" unsigned_again "$copy"
    tamper "$copy"
    expect "$what: a changed byte fails verification" not verify "$copy"
done <<LIST
PEM certificate and key|--cert $cert --key $key
PFX with a password|--pfx $pfx --password-file $tmp/password.txt
LIST

while IFS='|' read -r what words; do
    read -r -a options <<<"$words"
    copy=$tmp/sign/Velkast.exe
    cp "$unsigned" "$copy"
    expect "$what: fails" not scripts/sign.sh "${options[@]}" "$copy" 2>/dev/null
    expect "$what: the program is left as it was" same "$copy" "$unsigned"
done <<LIST
a wrong password|--pfx $pfx --password-file $tmp/wrong.txt
an unreachable timestamp server|--cert $cert --key $key --timestamp http://127.0.0.1:9/
LIST

# --- Packages ----------------------------------------------------------------------
# The files a package holds, below its top folder.
expected_files() {
    local kind=$1
    {
        printf '%s\n' LICENSE README.md SHA256SUMS
        (cd docs && find . -name '*.png' | sed 's|^\./|docs/|')
        (cd scripts/demo/package && find . -type f | sed 's|^\./|sample/|')
        printf 'sample/%s\n' files/viewer.exe files/data/stars.dat files/data/constellations/ja.dat \
            files/lang/ja/messages.txt plugins/comet.dll
        if [ "$kind" = windows ]; then
            printf '%s\n' Velkast.exe velkast-check.exe
        else
            echo velkast-check
        fi
    } | LC_ALL=C sort
}

# The names of a zip's entries whose name is not ASCII but lacks the UTF-8
# flag (general purpose bit 11), which Japanese Windows would read as code
# page 932. Reads the central directory that the end record points to.
zip_names_without_utf8_flag() {
    local zip=$1 size end entries at flags name_length extra_length comment_length name
    u16() { od -An -tu2 -j "$1" -N 2 "$zip" | tr -d ' '; }
    u32() { od -An -tu4 -j "$1" -N 4 "$zip" | tr -d ' '; }
    size=$(stat -c %s "$zip")
    end=$((size - 22)) # no archive comment
    [ "$(u32 $end)" = 101010256 ] || { echo "(no end of central directory record)"; return; }
    entries=$(u16 $((end + 10)))
    at=$(u32 $((end + 16)))
    for ((i = 0; i < entries; i++)); do
        flags=$(u16 $((at + 8)))
        name_length=$(u16 $((at + 28)))
        extra_length=$(u16 $((at + 30)))
        comment_length=$(u16 $((at + 32)))
        name=$(dd if="$zip" bs=1 skip=$((at + 46)) count="$name_length" status=none)
        if LC_ALL=C grep -q '[^ -~]' <<<"$name" && [ $((flags & 2048)) -eq 0 ]; then
            echo "$name"
        fi
        at=$((at + 46 + name_length + extra_length + comment_length))
    done
}

# Windows text: code page 932 with CR LF, the demo's texts line for line.
japanese_windows_text() {
    local file=$1 source=$2
    [ "$(grep -c $'\r$' "$file")" = "$(wc -l <"$file")" ] &&
        not grep -q $'\r\r' "$file" &&
        iconv -f CP932 -t UTF-8 "$file" | sed 's/\r$//' | cmp -s - "$source"
}

sums_cover_all() {
    (cd "$1" && sha256sum --quiet -c SHA256SUMS >/dev/null 2>&1) &&
        diff <(sed 's/^[0-9a-f]*  //' "$1/SHA256SUMS" | LC_ALL=C sort) \
            <(expected_files "$2" | grep -vx SHA256SUMS) >/dev/null
}

readme_for_users() {
    local readme=$1
    [ "$(head -n 1 "$readme")" = "# Velkast $version" ] || return 1
    for section in "What the user sees" 'Writing `Update.up`' "Checking an update script" "Releasing" "License"; do
        grep -qx "## $section" "$readme" || return 1
    done
    not grep -qx "## Development" "$readme"
}

# Unpacks a package into a folder of the given name and checks what every
# package must hold; sets top to the package's top folder.
check_package() {
    local archive=$1 kind=$2 into=$tmp/unpacked/$3
    mkdir -p "$into"
    case "$archive" in
        *.zip) unzip -q "$archive" -d "$into" ;;
        *.tar.gz) tar -xzf "$archive" -C "$into" ;;
    esac
    top=$into/$(basename "$archive" | sed 's/\.zip$//; s/\.tar\.gz$//')
    echo "--- $(basename "$archive")"
    expect "a sum file beside it" \
        bash -c 'cd "$(dirname "$1")" && sha256sum --quiet -c "$(basename "$1").sha256"' _ "$archive"
    expect "one top folder, named as the package" test "$(ls "$into")" = "$(basename "$top")"
    expect "exactly the files of a release" \
        diff <(cd "$top" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) <(expected_files "$kind")
    expect "SHA256SUMS: right, for every other file" sums_cover_all "$top" "$kind"
    expect "LICENSE: the project's" same "$top/LICENSE" LICENSE
    expect "README.md: the parts for users, script authors and publishers, with the version" \
        readme_for_users "$top/README.md"
    local text all_texts=true
    while read -r text; do
        japanese_windows_text "$top/sample/$text" "scripts/demo/package/$text" || all_texts=false
    done < <(cd scripts/demo/package && find . -type f | sed 's|^\./||')
    expect "sample: Update.up and its documents in code page 932 with CR LF" $all_texts
}

run_wine() { "$windows/wine-run.sh" "$@"; }
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

echo "=== the Windows package, signed: build, sign, package"
package=$windows/Velkast-$version-win64.zip
scripts/sign.sh --pfx "$pfx" --password-file "$tmp/password.txt" >/dev/null || exit 1
cmake --build --preset windows --target package >"$tmp/package.log" 2>&1 || { cat "$tmp/package.log"; exit 1; }
mkdir -p "$tmp/signed"
mv "$package" "$package.sha256" "$tmp/signed/"
check_package "$tmp/signed/${package##*/}" windows signed
expect "CPack said the programs were signed" test "$(grep -c ' is signed' "$tmp/package.log")" = 2
expect "Velkast.exe: signed" signed_well "$top/Velkast.exe" Velkast
expect "velkast-check.exe: signed" signed_well "$top/velkast-check.exe" Velkast
expect "Velkast.exe: the build's, with the signature" unsigned_again "$top/Velkast.exe"
expect "Japanese names carry the UTF-8 flag" test -z "$(zip_names_without_utf8_flag "$tmp/signed/${package##*/}")"
run_wine "$windows/tests/e2e/velkast_demo_driver.exe" "$(winpath "$top/Velkast.exe")" >"$tmp/run.txt" 2>&1
expect "the signed Velkast.exe runs: with no Update.up beside it, its box" \
    contains "$tmp/run.txt" "message box 「テキストデータ取得エラー」: Update.upファイルが見つかりません"
expect "the signed velkast-check.exe --version: $version" \
    test "$(run_wine "$top/velkast-check.exe" --version | tr -d '\r')" = "velkast-check $version"

echo "=== the Windows package, unsigned"
for program in "${programs[@]}"; do
    cp -p "$tmp/unsigned/${program##*/}" "$program"
done
cmake --build --preset windows --target package >"$tmp/package.log" 2>&1 || { cat "$tmp/package.log"; exit 1; }
check_package "$package" windows unsigned
expect "Velkast.exe: the build's" same "$top/Velkast.exe" "$windows/src/Velkast.exe"
expect "velkast-check.exe: the build's" same "$top/velkast-check.exe" "$windows/src/tools/check/velkast-check.exe"
expect "CPack said the programs were not signed" test "$(grep -c ' is NOT signed' "$tmp/package.log")" = 2

echo "=== the Linux package"
cmake --build --preset host-release --target package >"$tmp/package.log" 2>&1 || { cat "$tmp/package.log"; exit 1; }
check_package "$host/velkast-check-$version-linux-x86_64.tar.gz" linux linux
expect "velkast-check --version: $version" test "$("$top/velkast-check" --version)" = "velkast-check $version"
# The sample update against an installed viewer that its check list accepts.
mkdir -p "$tmp/viewer/data" "$tmp/plugins"
touch "$tmp/viewer/viewer.exe"
"$top/velkast-check" --installdir "HKLM\\Software\\Hoshizora\\Viewer=$tmp/viewer" \
    --installdir "Software\\Hoshizora\\Viewer\\Plugins=$tmp/plugins" "$top/sample/Update.up" >"$tmp/check.txt"
status=$?
expect "the sample update: accepted without warnings, 5 files" \
    test "$status $(grep -c ' -> ' "$tmp/check.txt")" = "0 5"

echo "=== release test: $failures failed"
[ $failures -eq 0 ]
