#!/bin/sh
# Writes the sample update of the release package into the folder it is
# given (emptied first): the demo's Update.up and documents
# (scripts/demo/package) as Japanese Windows text, code page 932 with CR LF,
# and a small stand-in for every file that the script copies. Velkast.exe is
# not part of it: a publisher puts it beside Update.up.
#
#   scripts/sample-package.sh OUT
set -eu
out=$1
src=$(cd "$(dirname "$0")/demo/package" && pwd)

rm -rf "$out"
mkdir -p "$out"
(cd "$src" && find . -type f | sort) | while read -r text; do
    mkdir -p "$out/$(dirname "$text")"
    sed 's/$/\r/' "$src/$text" | iconv -f UTF-8 -t CP932 >"$out/$text"
done
for file in files/viewer.exe files/data/stars.dat files/data/constellations/ja.dat files/lang/ja/messages.txt \
    plugins/comet.dll; do
    mkdir -p "$out/$(dirname "$file")"
    printf 'Hoshizora Viewer 2.2 %s (sample)\r\n' "$file" >"$out/$file"
done
