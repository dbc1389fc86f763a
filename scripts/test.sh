#!/usr/bin/env bash
# Runs every test on a Debian machine: installs what is missing, then
# configures, builds and tests both presets (the Windows build under Wine, the
# host build under the sanitizers), and checks the formatting. Exits non-zero
# on any failure.
set -u
cd "$(dirname "$0")/.."
. scripts/setup.sh

velkast_setup || { echo "test: set-up failed" >&2; exit 1; }
velkast_start_display || exit 1

wineprefix="$PWD/build/windows/wineprefix"
cleanup() {
    if [ -d "$wineprefix" ]; then
        WINEPREFIX="$wineprefix" wineserver -k >/dev/null 2>&1
    fi
    velkast_stop_display
}
trap cleanup EXIT

status=0
summary=""
step() {
    local name=$1
    shift
    echo "=== $name"
    if "$@"; then
        summary+="$name: ok"$'\n'
    else
        summary+="$name: FAILED"$'\n'
        status=1
        return 1
    fi
}

# CTest's output is kept to add up the counts for the closing line.
ctest_log=$(mktemp)
run_ctest() {
    ctest --preset "$1" -j2 2>&1 | tee -a "$ctest_log"
    return "${PIPESTATUS[0]}"
}

# A fuzzer, from the seed corpus, for half of about a minute: the plan
# fuzzer, then the script checker's (same verdict as the plan builder). Any
# crash or sanitizer report fails. New inputs go to a scratch folder, not the
# seeds.
fuzz_run() {
    local target=$1 scratch log rc
    scratch=$(mktemp -d)
    log=$(mktemp)
    build/host/fuzz/"$target" -max_total_time="$(( ${VELKAST_FUZZ_SECONDS:-60} / 2 ))" -max_len=8192 -timeout=10 \
        "$scratch" fuzz/corpus >"$log" 2>&1
    rc=$?
    if [ $rc -eq 0 ]; then
        grep -E '^Done [0-9]+ runs' "$log"
    else
        tail -n 60 "$log"
    fi
    rm -rf "$scratch" "$log"
    return $rc
}

format_check() {
    git ls-files '*.cpp' '*.h' | xargs "clang-format-$VELKAST_LLVM" --dry-run -Werror
}

for preset in host windows; do
    # Nothing is built on a failed configure, nor tested after a failed build.
    step "configure $preset" cmake --preset "$preset" -DVELKAST_WERROR=ON >/dev/null || continue
    step "build $preset" cmake --build --preset "$preset" || continue
    step "test $preset" run_ctest "$preset"
    if [ "$preset" = host ]; then
        step "fuzz plan" fuzz_run velkast_plan_fuzzer
        step "fuzz check" fuzz_run velkast_check_fuzzer
    fi
done
# A release: the packages (signed with a throw-away certificate, and not), and
# Velkast.exe built twice, byte for byte the same.
step "release" scripts/release-test.sh
step "reproducible" scripts/reproducible.sh
step "format" format_check

echo "=== summary"
printf '%s' "$summary"
# CTest prints "N% tests passed, F tests failed out of T" for each preset.
read -r passed failed < <(sed -n 's/.*tests passed, \([0-9]*\) tests\? failed out of \([0-9]*\).*/\1 \2/p' "$ctest_log" |
    awk '{ failed += $1; total += $2 } END { print total - failed, failed + 0 }')
rm -f "$ctest_log"
echo "tests: ${passed:-0} passed, ${failed:-0} failed"
exit $status
