#!/usr/bin/env bash
# Prints the project's performance figures. Not a test: nothing here fails on
# a slow machine. The host figures come from an optimised build without the
# sanitizers; the Windows ones from the windows preset under Wine.
set -eu
cd "$(dirname "$0")/.."
. scripts/setup.sh
velkast_setup

cmake -S . -B build/bench-host -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER="clang-$VELKAST_LLVM" \
    -DCMAKE_CXX_COMPILER="clang++-$VELKAST_LLVM" -DBUILD_TESTING=OFF >/dev/null
cmake --build build/bench-host --target velkast_plan_bench >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows --target velkast_plan_bench velkast_copy_bench >/dev/null
velkast_start_display
trap velkast_stop_display EXIT

build/bench-host/bench/velkast_plan_bench
build/windows/wine-run.sh build/windows/bench/velkast_plan_bench.exe
build/windows/wine-run.sh build/windows/bench/velkast_copy_bench.exe
WINEPREFIX="$PWD/build/windows/wineprefix" wineserver -k >/dev/null 2>&1 || true
