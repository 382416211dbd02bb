#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz") and runs each for SECONDS (default
# 20) from its seed corpus in fuzz/corpus/; fails when any target finds a
# crash, a sanitizer report, a difference from the rules, a hang (10 s) or a
# leak. Each target's grown corpus, log and finding stay in the build folder
# (fuzz/work/TARGET); the seeds in the repository are not changed.
#
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]     (targets: all when none)
# TAVENRO_FUZZ_BUILD names another build folder than build/fuzz.
set -uo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
[ $# -gt 0 ] && shift
build=${TAVENRO_FUZZ_BUILD:-build/fuzz}

cmake --preset fuzz -B "$build" >/dev/null && cmake --build "$build" >/dev/null || {
    echo "fuzz build failed" >&2
    exit 1
}

# Longest input per target: enough for every path of the routine, short
# enough that the quadratic ones (the slow references, the cookie merge, the
# matcher's backtracking) keep thousands of runs a second.
declare -A max_len=(
    [text_find]=4096 [text_edit]=4096 [text_misc]=4096 [bytes]=4096
    [text_between]=4096 [url]=2048 [cookies]=2048 [song_pattern]=8192
)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(text_find text_edit text_misc bytes text_between url cookies
    song_pattern)

failed=()
for target in "${targets[@]}"; do
    if [ -z "${max_len[$target]:-}" ]; then
        echo "unknown fuzz target: $target" >&2
        exit 2
    fi
    work="$build/fuzz/work/$target"
    mkdir -p "$work/corpus"
    rm -f "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* "$work"/slow-unit-*
    "$build/fuzz/${target}_fuzz" -max_total_time="$seconds" -max_len="${max_len[$target]}" \
        -timeout=10 -rss_limit_mb=2048 -dict=fuzz/tavenro.dict -print_final_stats=1 \
        -artifact_prefix="$work/" "$work/corpus" "fuzz/corpus/$target" >"$work/log" 2>&1
    status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
    if [ $status -eq 0 ]; then
        printf '%-14s ok: %s runs in %s s\n' "$target" "${runs:-?}" "$seconds"
    else
        printf '%-14s FINDING (exit %d): %s\n' "$target" $status "$work/log"
        grep -E -A4 'rules say|breaks:|runtime error|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)' \
            "$work/log" | head -20
        failed+=("$target")
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzz findings in: ${failed[*]}"
    exit 1
fi
