#!/usr/bin/env bash
# The main job: builds Velkast.exe for shipping. Running it on a demo update
# package under Wine comes with the application shell.
set -eu
cd "$(dirname "$0")/.."
. scripts/setup.sh
velkast_setup
cmake --preset windows >/dev/null
cmake --build --preset windows --target Velkast
echo "built: build/windows/src/Velkast.exe"
