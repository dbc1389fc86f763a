#!/usr/bin/env bash
# Runs a fuzzing campaign:
#   scripts/fuzz.sh [--minutes N | --seconds N] [--runs N] [--out DIR] [TARGET...]
#
# TARGET is plan (the text line store and the copy plan builder) or check
# (the script checker against the updater's reading); without one, both run,
# one after the other. Each runs for N minutes (default 10), or until it has
# run N inputs, or until its first crash. The fuzzers start from the seed
# corpus (fuzz/corpus), which they only read; the inputs they keep and the
# inputs that fail go under DIR/TARGET/ (corpus/, artifacts/, log), DIR being
# build/fuzz unless --out names another folder under build/. Ends with one
# line per target: executions, rate, crashes, coverage. Exits non-zero when a
# target crashed or could not run. An interrupt (Ctrl-C) ends the campaign
# there, with the summary so far.
set -u
cd "$(dirname "$0")/.."
. scripts/setup.sh

usage="usage: scripts/fuzz.sh [--minutes N | --seconds N] [--runs N] [--out DIR] [plan] [check]"
seconds=600
runs=""
out=build/fuzz
targets=()
while [ $# -gt 0 ]; do
    case $1 in
    --minutes) seconds=$(($2 * 60)); shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    plan | check) targets+=("$1"); shift ;;
    *) echo "$usage" >&2; exit 2 ;;
    esac
done
[ ${#targets[@]} -gt 0 ] || targets=(plan check)
case $out in
build/*) ;;
*) echo "fuzz: the output goes under build/, not to $out" >&2; exit 2 ;;
esac

velkast_setup || { echo "fuzz: set-up failed" >&2; exit 1; }
if [ ! -f build/host/CMakeCache.txt ]; then
    cmake --preset host >/dev/null || exit 1
fi
build_log=$(mktemp)
if ! cmake --build --preset host --target velkast_plan_fuzzer velkast_check_fuzzer >"$build_log" 2>&1; then
    cat "$build_log"
    rm -f "$build_log"
    exit 1
fi
rm -f "$build_log"

# Two frames for the allocation and release stacks in a report instead of
# thirty: a fifth of the checker fuzzer's time went into recording them. Run
# the fuzzer on the failing input alone to see them in full.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=2}

status=0
summary=""
for target in "${targets[@]}"; do
    work="$out/$target"
    fuzzer="build/host/fuzz/velkast_${target}_fuzzer"
    mkdir -p "$work/corpus" "$work/artifacts"
    echo "=== fuzz $target: up to $seconds s${runs:+ or $runs inputs}; output in $work"
    marker=$(mktemp)
    start=$(date +%s%N)
    # New inputs go to the first corpus folder, the build's own; -reload=0:
    # no other process adds to it.
    "$fuzzer" -max_total_time="$seconds" ${runs:+-runs="$runs"} -max_len=8192 -timeout=10 -reload=0 \
        -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$work/corpus" fuzz/corpus >"$work/log" 2>&1
    rc=$?
    elapsed_ms=$((($(date +%s%N) - start) / 1000000))
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n 1)
    executions=${executions:-0}
    failing=$(find "$work/artifacts" -type f -newer "$marker" | sort)
    rm -f "$marker"
    crashes=$(printf '%s' "$failing" | grep -c .)
    coverage=$(grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+' "$work/log" | tail -n 1)
    line="fuzz $target: $executions executions in $((elapsed_ms / 1000)) s"
    line+=" ($((executions * 1000 / (elapsed_ms > 0 ? elapsed_ms : 1)))/s), $crashes crashes; ${coverage:-no coverage}"
    if [ $rc -eq 72 ]; then
        # libFuzzer's exit code for an interrupt.
        summary+="$line; interrupted"$'\n'
        break
    fi
    if [ $rc -ne 0 ]; then
        status=1
        tail -n 60 "$work/log"
        line+="; FAILED (exit $rc), see $work/log"
        for input in $failing; do
            line+=$'\n'"  again: $fuzzer $input"
        done
    fi
    summary+="$line"$'\n'
done
printf '%s' "$summary"
exit $status
