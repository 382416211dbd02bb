#!/usr/bin/env bash
# The performance figures, each a ratio against a baseline measured in the
# same run, from medians of repeated runs, printed as Markdown (and kept in
# build/bench/figures.md):
#   native     the benchmarks of bench/: the text toolkit on 8 MB pages, the
#              pattern search against Boost.Regex's iterator, the search end
#              to end against the local demo service, per phase
#   finditer   SearchAll against Python's re.finditer on the same reply file
#   listfill   filling the list with 5,000 songs, under Wine (64-bit build)
#   startup    Tavenro.exe to its window shown against a minimal window
#              program started the same way, under Wine (64-bit build)
#   size       the stripped, statically linked 32-bit Tavenro.exe
#
# usage: scripts/bench.sh [--quick] [SECTION...]     (default: every section)
#   --quick    few repetitions and no fill that draws as it goes: a smoke run
#
# Builds the presets bench, bench-windows64 and bench-windows first (their
# folders can be moved with TAVENRO_BENCH_NATIVE, TAVENRO_BENCH_WIN64 and
# TAVENRO_BENCH_WIN32). The Wine sections use $DISPLAY, or an Xvfb of their
# own when it is not set. The 32-bit program is not run: where the kernel
# executes i386 code only through emulation, its times would measure the
# emulator; the Wine figures come from the 64-bit build of the same sources.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

quick=0
sections=()
for arg in "$@"; do
    case "$arg" in
    --quick) quick=1 ;;
    native | finditer | listfill | startup | size) sections+=("$arg") ;;
    *)
        sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
        exit 2
        ;;
    esac
done
[ ${#sections[@]} -gt 0 ] || sections=(native finditer listfill startup size)
wants() { [[ " ${sections[*]} " == *" $1 "* ]]; }

native_dir=${TAVENRO_BENCH_NATIVE:-build/bench}
win64_dir=${TAVENRO_BENCH_WIN64:-build/bench-windows64}
win32_dir=${TAVENRO_BENCH_WIN32:-build/bench-windows}

if [ $quick = 1 ]; then
    repetitions=3 min_time=0.05 runs=3 fill_rounds=3 drawing_rounds=0
else
    repetitions=15 min_time=0.2 runs=11 fill_rounds=9 drawing_rounds=1
fi

log=$(mktemp -d)
cleanup_steps=("rm -rf '$log'")
cleanup() {
    for ((i = ${#cleanup_steps[@]} - 1; i >= 0; i--)); do eval "${cleanup_steps[i]}" || true; done
}
trap cleanup EXIT

build() { # preset folder
    [ -f "$2/CMakeCache.txt" ] || cmake --preset "$1" -B "$2" >"$log/configure-$1.log"
    cmake --build "$2" >"$log/build-$1.log" || {
        tail -30 "$log/build-$1.log" >&2
        exit 1
    }
}

# The local demo service on a free port, for the whole run.
demo_service() {
    [ -n "${service:-}" ] && return 0
    coproc SERVICE { exec python3 "$root/tests/service/demo_service.py" --port 0 --quiet --idle-exit 3600; }
    service_pid=$SERVICE_PID
    cleanup_steps+=("kill $service_pid 2>/dev/null; wait $service_pid 2>/dev/null")
    read -r port <&"${SERVICE[0]}"
    service="127.0.0.1:$port"
}

# A display for the Windows programs, and the project's Wine prefix.
wine_ready() {
    [ -n "${wine_is_ready:-}" ] && return 0
    if [ -z "${DISPLAY:-}" ]; then
        # Xvfb picks a free display and writes its number once it is ready.
        mkfifo "$log/display"
        Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$log/display" 2>/dev/null &
        cleanup_steps+=("kill $! 2>/dev/null")
        read -r -t 30 display <"$log/display"
        export DISPLAY=":$display"
    fi
    source "$root/scripts/wine-env.sh"
    wine_services_ready
    # Programs of one prefix share the default desktop, whose display is the
    # one its first program had; a desktop of our own draws on ours.
    export TAVENRO_TEST_DESKTOP="TavenroBench${DISPLAY//[^0-9A-Za-z]/_}"
    on_desktop=("${wine_locale[@]}" /usr/lib/wine/wine64 "$win64_dir/bench/on_desktop.exe")
    wine_is_ready=1
}

table() { # the Markdown part of a benchmark's output
    sed -n '/^### /,$p'
}

median() { # numbers on stdin, one a line
    sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

out="$native_dir/figures.md"
mkdir -p "$native_dir"
{
    echo "## Performance"
    echo
    echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) CPUs ($(uname -m));" \
        "every ratio is Tavenro's median time over the baseline's, measured in the same run."
} >"$out"
emit() { tee -a "$out"; }

if wants native || wants finditer || wants startup; then
    build bench "$native_dir"
fi

if wants native; then
    demo_service
    flags=(--benchmark_repetitions=$repetitions --benchmark_min_time=$min_time)
    echo >>"$out"
    "$native_dir/bench/text_bench" "${flags[@]}" >"$log/text.log" 2>&1 || { tail "$log/text.log" >&2; exit 1; }
    table <"$log/text.log" | emit
    echo | emit
    "$native_dir/bench/pattern_bench" "${flags[@]}" >"$log/pattern.log" 2>&1 || { tail "$log/pattern.log" >&2; exit 1; }
    table <"$log/pattern.log" | emit
    echo | emit
    TAVENRO_DEMO_SERVICE=$service "$native_dir/bench/search_bench" "${flags[@]}" \
        >"$log/search.log" 2>&1 || { tail "$log/search.log" >&2; exit 1; }
    table <"$log/search.log" | emit
fi

if wants finditer; then
    reply="$log/reply.txt"
    "$native_dir/bench/pattern_timer" write "$reply"
    # Rounds taking turns; each tool times its own runs (CPU time, the file
    # already read) and reports their median.
    for ((round = 0; round < 3; round++)); do
        "$native_dir/bench/pattern_timer" time "$reply" $((runs * 2)) >>"$log/searchall.txt"
        python3 "$root/bench/finditer_timer.py" "$reply" $((runs * 2)) >>"$log/finditer.txt"
    done
    ours=$(awk '{ print $4 }' "$log/searchall.txt" | median)
    theirs=$(awk '{ print $4 }' "$log/finditer.txt" | median)
    matches=$(awk '{ print $2 }' "$log/finditer.txt" | sort -u | tr '\n' ' ')
    kb=$(($(stat -c %s "$reply") / 1024))
    {
        echo
        echo "### Pattern search against Python"
        echo
        echo "| Figure | Tavenro | Baseline | Baseline time | Ratio | Target |"
        echo "|---|---:|---|---:|---:|---|"
        awk -v o="$ours" -v t="$theirs" -v kb="$kb" -v v="$(python3 -c 'import sys; print(sys.version.split()[0])')" 'BEGIN {
            r = o / t
            printf "| SearchAll, song expression, 4,000 songs (%d KB file) | %.2f ms | Python %s re.finditer, same expression (DOTALL) and file | %.2f ms | **%.2f** | < 1.00 %s |\n",
                kb, o * 1e3, v, t * 1e3, r, (r < 1 ? "met" : "MISSED") }'
        echo
        echo "- Process CPU time, the file already read; median of 3 rounds of $((runs * 2)) runs each, taking turns. Matches found: $matches(both)."
    } | emit
fi

if wants listfill || wants startup; then
    build bench-windows64 "$win64_dir"
    wine_ready
fi

if wants listfill; then
    "${on_desktop[@]}" "$win64_dir/bench/list_fill_win32.exe" \
        $fill_rounds $drawing_rounds >"$log/listfill.log" 2>&1 || { tail "$log/listfill.log" >&2; exit 1; }
    echo | emit
    table <"$log/listfill.log" | emit
fi

# Seconds from starting the program until its window is on screen (mapped
# on the X display), taken by window_timer, which then ends the program.
startup_once() { # exe window-title
    TAVENRO_NOTICE_URL="http://$service/notice.html" \
        "$native_dir/bench/window_timer" "$2" 120 "${on_desktop[@]}" "$1"
}

if wants startup; then
    demo_service
    tavenro="$win64_dir/app/Tavenro.exe"
    minimal="$win64_dir/bench/minimal_window.exe"
    # One unmeasured start each: the first start loads Wine's libraries.
    startup_once "$tavenro" Tavenro >/dev/null
    startup_once "$minimal" "Minimal window" >/dev/null
    for ((i = 0; i < runs; i++)); do
        startup_once "$tavenro" Tavenro >>"$log/startup-tavenro.txt"
        startup_once "$minimal" "Minimal window" >>"$log/startup-minimal.txt"
    done
    ours=$(median <"$log/startup-tavenro.txt")
    theirs=$(median <"$log/startup-minimal.txt")
    {
        echo
        echo "### Start-up (the 64-bit Windows build under Wine)"
        echo
        echo "| Figure | Tavenro | Baseline | Baseline time | Ratio | Target |"
        echo "|---|---:|---|---:|---:|---|"
        awk -v o="$ours" -v t="$theirs" 'BEGIN {
            printf "| Tavenro.exe, start to window shown (announcement \"V1.0\" from the local service) | %.0f ms (wall) | minimal_window.exe, one window, started the same way | %.0f ms (wall) | **%.2f** | report |\n",
                o * 1e3, t * 1e3, o / t }'
        echo
        echo "- Median of $runs starts each, taking turns, after one unmeasured start each;" \
            "from launching wine64 to the window being mapped on the X display (window_timer)."
    } | emit
fi

if wants size; then
    build bench-windows "$win32_dir"
    for exe in app/Tavenro.exe bench/minimal_window.exe; do
        cp "$win32_dir/$exe" "$log/$(basename "$exe")"
        i686-w64-mingw32-strip "$log/$(basename "$exe")"
    done
    ours=$(stat -c %s "$log/Tavenro.exe")
    theirs=$(stat -c %s "$log/minimal_window.exe")
    limit=$((2 * 1024 * 1024))
    {
        echo
        echo "### Size (32-bit, statically linked, stripped)"
        echo
        echo "| Figure | Tavenro | Baseline | Baseline size | Ratio | Target |"
        echo "|---|---:|---|---:|---:|---|"
        awk -v o="$ours" -v t="$theirs" -v l="$limit" 'BEGIN {
            printf "| Tavenro.exe | %d bytes (%.2f MB) | the limit, 2 MB | %d bytes | **%.2f** | < 1.00 %s |\n",
                o, o / 1048576, l, o / l, (o < l ? "met" : "MISSED")
            printf "| Tavenro.exe | %d bytes | minimal_window.exe, same toolchain and options | %d bytes | **%.2f** | report |\n",
                o, t, o / t }'
    } | emit
fi

echo
echo "(kept in $out)"
