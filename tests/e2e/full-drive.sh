#!/bin/sh
# Gives the end-to-end tests' Wine prefix a drive T: of 1 MiB on a tmpfs, so
# that a scenario can fill a drive for real; "remove" takes it away again.
# Only root can mount: elsewhere nothing happens and the scenario is skipped.
#   full-drive.sh add|remove FOLDER WINE-RUNNER WINEPREFIX
set -u
action=$1
folder=$2
runner=$3
link="$4/dosdevices/t:"
case $action in
add)
    if [ "$(id -u)" -ne 0 ]; then
        echo "full drive: not root, the scenario is skipped"
        exit 0
    fi
    # The runner makes the prefix on first use.
    "$runner" cmd.exe /c exit >/dev/null 2>&1
    mkdir -p "$folder"
    if ! mountpoint -q "$folder" && ! mount -t tmpfs -o size=1m tmpfs "$folder"; then
        echo "full drive: cannot mount a tmpfs, the scenario is skipped"
        exit 0
    fi
    ln -sfn "$folder" "$link"
    ;;
remove)
    rm -f "$link"
    if mountpoint -q "$folder"; then
        umount "$folder"
    fi
    rmdir "$folder" 2>/dev/null
    ;;
esac
exit 0
