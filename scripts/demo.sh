#!/usr/bin/env bash
# The main job: builds Velkast.exe, assembles a demo update package and a demo
# installed application, and runs the update under Wine.
#
#   scripts/demo.sh [--headless] [--screenshots DIR]
#
# With a display (DISPLAY set), Velkast's dialogs show on it and you press
# 開始 (Start) and 終了 (Exit) yourself; the documents it opens show in Wine's
# Notepad. Without one (or with --headless), it runs under Xvfb and a driver
# program presses the buttons, saves screenshots of the copy dialog (into
# build/demo/screenshots, or DIR) and reports what the shell opened. Either
# way the installed application's folder is listed before and after, and the
# demo prefix's Wine server is stopped at the end. Exit code 0 when the
# update ran through.
#
# VELKAST_BUILD_DIR and VELKAST_DEMO_DIR choose other folders than
# build/windows and build/demo.
set -eu
cd "$(dirname "$0")/.."
repo=$PWD
. scripts/setup.sh
. scripts/wine-prefix.sh

headless=""
shots=""
while [ $# -gt 0 ]; do
    case "$1" in
        --headless) headless=1 ;;
        --screenshots) shots=$2; shift ;;
        -h | --help) sed -n '2,/^set -eu/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
        *) echo "demo: unknown argument $1" >&2; exit 64 ;;
    esac
    shift
done
[ -n "${DISPLAY:-}" ] || headless=1

build=${VELKAST_BUILD_DIR:-build/windows}
demo=${VELKAST_DEMO_DIR:-build/demo}
mkdir -p "$demo"
demo=$(cd "$demo" && pwd)
shots=${shots:-$demo/screenshots}

# --- Velkast.exe and the driver ----------------------------------------------
velkast_setup
echo "=== building Velkast.exe"
if [ "$build" = build/windows ]; then
    cmake --preset windows >/dev/null
else
    cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target Velkast velkast-pack velkast_shell_recorder velkast_demo_driver
build=$(cd "$build" && pwd)

# Wine in the Japanese locale (ANSI code page 932), in a prefix of the demo's own.
export WINEPREFIX=$demo/wineprefix
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
started_display=""
cleanup() {
    # The demo prefix's server, and with it whatever still runs in it.
    [ -d "$WINEPREFIX" ] && wineserver -k >/dev/null 2>&1
    [ -n "$started_display" ] && velkast_stop_display
    return 0
}
trap cleanup EXIT
if [ -n "$headless" ] && [ -z "${DISPLAY:-}" ]; then
    velkast_start_display
    started_display=1
fi
echo "=== preparing the Wine prefix $WINEPREFIX"
velkast_wine_prefix
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
reg() { wine reg "$@" >/dev/null 2>&1 </dev/null; }

# --- The update package --------------------------------------------------------
# A file whose first line names it and its version, filled up to the size.
make_file() {
    local path=$1 size=$2 label=$3
    mkdir -p "$(dirname "$path")"
    { printf '%s\n' "$label"; head -c $((size - ${#label} - 1)) /dev/zero | tr '\0' '.'; } >"$path"
}
# Japanese Windows text: code page 932 with CR LF line ends.
cp932() { sed 's/$/\r/' "$1" | iconv -f UTF-8 -t CP932 >"$2"; }

# The sources of the package: its description, its texts, and the files of
# version 2.2. velkast-pack writes the package from them, Update.up included,
# and checks it as the updater will read it.
source=$demo/source
package=$demo/package
echo "=== assembling the sources of the update package in $source"
rm -rf "$source"
mkdir -p "$source/texts/docs"
src=scripts/demo/package
cp scripts/demo/package.ini "$source/"
for text in 更新のご案内.txt Report.txt docs/新機能.txt; do
    cp932 "$src/$text" "$source/texts/$text"
done
make_file "$source/new/viewer/viewer.exe" 2500000 "Hoshizora Viewer 2.2 viewer.exe"
make_file "$source/new/viewer/data/stars.dat" 1200000 "Hoshizora Viewer 2.2 stars.dat"
make_file "$source/new/viewer/data/constellations/ja.dat" 40000 "Hoshizora Viewer 2.2 constellations/ja.dat"
make_file "$source/new/viewer/lang/ja/messages.txt" 8000 "Hoshizora Viewer 2.2 messages.txt"
make_file "$source/new/plugins/comet.dll" 3500000 "Hoshizora Viewer 2.2 comet.dll"
echo "=== writing the update package $package with velkast-pack"
wine "$build/src/tools/pack/velkast-pack.exe" "$(winpath "$source/package.ini")" --replace \
    --output "$(winpath "$package")" --velkast "$(winpath "$build/src/Velkast.exe")" </dev/null

# --- The installed application ------------------------------------------------
app_win='C:\Program Files\Hoshizora Viewer'
app=$WINEPREFIX/drive_c/Program\ Files/Hoshizora\ Viewer
echo "=== installing version 2.1 into $app_win"
if [ -d "$app" ]; then
    chmod -R u+w "$app"
    rm -rf "$app"
fi
make_file "$app/viewer.exe" 2300000 "Hoshizora Viewer 2.1 viewer.exe"
make_file "$app/data/stars.dat" 1100000 "Hoshizora Viewer 2.1 stars.dat"
make_file "$app/plugins/comet.dll" 3000000 "Hoshizora Viewer 2.1 comet.dll"
chmod a-w "$app/viewer.exe"  # read-only, as installers leave program files
# What an installer leaves in the registry: the machine-wide folder of the
# viewer, and the plug-in folder of this user.
reg add 'HKLM\Software\Hoshizora\Viewer' /v INSTALLDIR /d "$app_win" /f
reg add 'HKCU\Software\Hoshizora\Viewer\Plugins' /v INSTALLDIR /d "$app_win\\plugins" /f

show_installed() {
    echo "--- $app_win ($1)"
    (cd "$app" && find . -type f | sort | while read -r file; do
        local mode="         "
        [ -w "$file" ] || mode="read-only"
        printf '  %-28s %9s bytes  %s  %s\n' "${file#./}" "$(stat -c %s "$file")" "$mode" "$(head -n 1 "$file")"
    done)
}

# --- What opens the documents ---------------------------------------------------
# A fresh prefix associates no program with .txt (the shell then fails or
# hangs). A person gets Wine's Notepad; the headless run the tests' recorder,
# which notes what was opened and from which working folder.
record=$demo/opened.txt
rm -f "$record"
if [ -n "$headless" ]; then
    recorder=$(winpath "$build/tests/win32/velkast_shell_recorder.exe")
    reg add 'HKCR\VelkastDemo.Recorded\shell\open\command' /ve /d "\"$recorder\" \"%1\"" /f
    reg add 'HKCR\.txt' /ve /d VelkastDemo.Recorded /f
    reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
    export VELKAST_RECORD_FILE
    VELKAST_RECORD_FILE=$(winpath "$record")
else
    reg add 'HKCR\.txt' /ve /d txtfile /f
    # Windows that the window manager can move and focus.
    reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d Y /f
fi

# --- The update -------------------------------------------------------------------
show_installed "before"
status=0
if [ -n "$headless" ]; then
    echo "=== running the update (headless, on display $DISPLAY)"
    rm -rf "$shots"
    mkdir -p "$shots"
    VELKAST_E2E_SCREENSHOTS=$(winpath "$(cd "$shots" && pwd)") \
        wine "$build/tests/e2e/velkast_demo_driver.exe" "$(winpath "$package/Velkast.exe")" </dev/null || status=$?
    echo "--- opened by the shell (working folder, command line)"
    if [ -f "$record" ]; then
        sed 's/^/  /; s/\t/  |  /' "$record"
    else
        echo "  nothing"
    fi
    echo "--- screenshots in $shots"
    ls "$shots" | sed 's/^/  /'
else
    echo "=== running the update: press 開始 (Start), then 終了 (Exit) when the copy is done"
    (cd "$package" && wine Velkast.exe </dev/null) || status=$?
    echo "Velkast.exe ended with exit code $status"
fi
show_installed "after"

if [ -z "$headless" ] && [ -t 0 ]; then
    echo "=== press Enter to end the demo (this closes the documents that Velkast opened)"
    read -r _ || true
fi
if [ "$status" -ne 0 ]; then
    echo "demo: the update did not run through (exit code $status)" >&2
    exit 1
fi
echo "demo: done"
