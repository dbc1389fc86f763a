#!/usr/bin/env bash
# Checks that Velkast.exe is reproducible: the same sources (the working tree's
# files, on a fresh clone the commit), copied to two folders of different
# paths and built there one after the other, at two different times, under
# different time zones and locales, give the same file byte for byte. Its PE
# time stamp is SOURCE_DATE_EPOCH (the commit's time unless set, as for a
# release); linked again without it, the time stamp is 0 and nothing else but
# the header's checksum changes.
#
# Only the Velkast target is built, in build/reproducible (removed when the
# check passes, kept for a look when it fails). Exit status 0 when it passes.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
. scripts/setup.sh
velkast_setup

epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
work=$repo/build/reproducible
rm -rf "$work"
mkdir -p "$work"

# A copy of the sources at the given path, built there: prints the program's path.
build_at() {
    local source=$1 zone=$2 locale=$3
    mkdir -p "$source"
    git ls-files -z --cached --others --exclude-standard |
        tar --null --ignore-failed-read -T - -cf - 2>/dev/null | tar -xf - -C "$source"
    (
        cd "$source"
        export SOURCE_DATE_EPOCH=$epoch TZ=$zone LC_ALL=$locale
        cmake -S . -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
            -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DVELKAST_WERROR=ON >/dev/null
        cmake --build build --target Velkast -j2 >/dev/null
    ) >&2
    echo "$source/build/src/Velkast.exe"
}

# The PE header's offset, and a 32-bit field of the file.
pe_header() { od -An -t u4 -j 60 -N 4 "$1" | tr -d ' '; }
field() { od -An -t u4 -j "$2" -N 4 "$1" | tr -d ' '; }

start=$(date +%s)
echo "reproducible: building Velkast.exe twice (SOURCE_DATE_EPOCH=$epoch)"
first=$(build_at "$work/one" UTC C.UTF-8)
sleep 1  # the clock has moved on, whatever the first build's speed
second=$(build_at "$work/a-second-and-longer/folder/velkast" Asia/Tokyo ja_JP.UTF-8)

status=0
if cmp -s "$first" "$second"; then
    echo "reproducible: the two builds are identical: $(sha256sum <"$first" | cut -d' ' -f1)"
else
    echo "reproducible: the two builds differ ($({ cmp -l "$first" "$second" || true; } | wc -l) bytes), first ones at:" >&2
    { cmp -l "$first" "$second" || true; } | head -n 10 >&2
    status=1
fi

pe=$(pe_header "$first")
stamp_at=$((pe + 8))     # IMAGE_FILE_HEADER.TimeDateStamp
checksum_at=$((pe + 88)) # IMAGE_OPTIONAL_HEADER64.CheckSum
stamp=$(field "$first" $stamp_at)
if [ "$stamp" = "$epoch" ]; then
    echo "reproducible: PE time stamp $stamp (SOURCE_DATE_EPOCH)"
else
    echo "reproducible: PE time stamp $stamp, expected SOURCE_DATE_EPOCH $epoch" >&2
    status=1
fi

# Linked again without SOURCE_DATE_EPOCH: time stamp 0, the rest unchanged.
rm -f "$second"
(cd "$work/a-second-and-longer/folder/velkast" && env -u SOURCE_DATE_EPOCH cmake --build build --target Velkast >/dev/null)
stamp=$(field "$second" $stamp_at)
changed=$({ cmp -l "$first" "$second" || true; } | awk -v s=$stamp_at -v c=$checksum_at \
    '{ at = $1 - 1 } !((at >= s && at < s + 4) || (at >= c && at < c + 4)) { n++ } END { print n + 0 }')
if [ "$stamp" = 0 ] && [ "$changed" = 0 ]; then
    echo "reproducible: without SOURCE_DATE_EPOCH the time stamp is 0, nothing else changes"
else
    echo "reproducible: without SOURCE_DATE_EPOCH: time stamp $stamp, $changed other bytes changed" >&2
    status=1
fi

echo "reproducible: $(($(date +%s) - start)) s"
if [ $status -eq 0 ]; then
    rm -rf "$work"
else
    echo "reproducible: the builds are kept in $work" >&2
fi
exit $status
