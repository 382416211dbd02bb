#!/usr/bin/env bash
# Installs what is missing, builds Tavenro.exe and runs it under Wine against
# the demo service (tests/service/demo_service.py), started here on a free
# port of 127.0.0.1 and named in TAVENRO_MUSIC_HOST and TAVENRO_NOTICE_URL.
#
#   scripts/run.sh [windows|windows64]
#
# The shipped 32-bit build (windows) runs where the kernel executes i386 code
# itself; elsewhere the 64-bit build of the same sources (windows64), since
# 32-bit Wine under emulation takes minutes to start. An argument picks one.
# With an X display the window is yours: type a number and search (10001 has
# six songs). Without one the program runs on a private Xvfb: the script
# searches 10001, prints the status line, saves a screenshot of the table
# into the build folder and closes the program. The service (and Xvfb) stop
# when the script ends. TAVENRO_BUILD_DIR names another build folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

runs_i386_natively() {
    [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

if [ -z "${TAVENRO_HEADLESS:-}" ]; then
    "$root/scripts/install-deps.sh"
    if [ -n "${1:-}" ]; then
        preset="$1"
    elif runs_i386_natively; then
        preset=windows
    else
        preset=windows64
    fi
    case "$preset" in
    windows) echo "running the 32-bit build (preset windows)" ;;
    windows64) echo "running the 64-bit build (preset windows64): this kernel does not run i386 code itself" ;;
    *) echo "usage: $0 [windows|windows64]" >&2; exit 2 ;;
    esac
    build="$(cd "$root" && realpath -m "${TAVENRO_BUILD_DIR:-build/$preset}")"
    cd "$root"
    [ -f "$build/CMakeCache.txt" ] || cmake --preset "$preset" -B "$build" >/dev/null
    cmake --build "$build" --target Tavenro window_probe on_desktop
    export TAVENRO_RUN_BUILD="$build"
    if [ -z "${DISPLAY:-}" ]; then
        exec env TAVENRO_HEADLESS=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$preset"
    fi
fi

build="$TAVENRO_RUN_BUILD"
exe="$build/app/Tavenro.exe"
probe="$build/tests/app/window_probe.exe"
on_desktop="$build/tests/app/on_desktop.exe"
wine_run="$root/scripts/wine-run"
# Wine's default desktop draws on the display of whichever program started
# it first; a desktop of our own per display keeps the window on this one.
export TAVENRO_TEST_DESKTOP="TavenroRun${DISPLAY//[^0-9A-Za-z]/_}"

work="$(mktemp -d)"
service_pid=""
program_pid=""
cleanup() {
    if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
    if [ -n "$service_pid" ]; then
        kill "$service_pid" 2>/dev/null || true
        wait "$service_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

python3 "$root/tests/service/demo_service.py" --port 0 --quiet >"$work/port" &
service_pid=$!
for _ in $(seq 100); do
    [ -s "$work/port" ] && break
    sleep 0.1
done
port="$(head -n 1 "$work/port")"
[ -n "$port" ] || { echo "the demo service did not start" >&2; exit 1; }
export TAVENRO_MUSIC_HOST="127.0.0.1:$port"
export TAVENRO_NOTICE_URL="http://127.0.0.1:$port/notice.html"
echo "demo service on 127.0.0.1:$port"

if [ -z "${TAVENRO_HEADLESS:-}" ]; then
    echo "type a number into the box and press 点我搜索 (try 10001: six songs; 10002: three)"
    code=0
    "$wine_run" "$on_desktop" "$exe" || code=$?
    echo "Tavenro.exe ended with exit code $code"
    exit "$code"
fi

# On the private display: a scripted search, as a user would do it.
"$wine_run" "$on_desktop" "$exe" &
program_pid=$!
if ! window=$(timeout 180 xdotool search --sync --onlyvisible --name '^Tavenro$' | head -n 1); then
    echo "the window did not appear" >&2
    exit 1
fi
sleep 1
# No window manager: the keyboard follows the pointer into the clicked window.
xdotool mousemove --window "$window" 116 20 click 1
sleep 0.3
xdotool type --delay 50 10001
xdotool mousemove --window "$window" 222 20 click 1

status=""
for _ in $(seq 60); do
    status="$("$wine_run" "$on_desktop" "$probe" table 10 | iconv -f GBK -t UTF-8 |
        sed -n 's/^status=//p' | tr -d '\r')"
    [ -n "$status" ] && break
    sleep 0.5
done
echo "status: ${status:-(none)}"
shot="$build/tavenro-search.png"
import -window "$window" "$shot"
echo "screenshot of the table: $shot"

# Into the number box: after a search no control holds the focus (the
# button lost it while disabled), and Esc needs one to end the program.
code=""
for _ in 1 2 3; do
    xdotool mousemove --window "$window" 116 20 click 1
    sleep 0.3
    xdotool key Escape
    for _ in $(seq 50); do
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.2
    done
    if ! kill -0 "$program_pid" 2>/dev/null; then
        code=0
        wait "$program_pid" || code=$?
        program_pid=""
        break
    fi
done
if [ -z "$code" ]; then
    echo "Tavenro.exe did not end on Esc; stopping it" >&2
    exit 1
fi
echo "Tavenro.exe ended with exit code $code"
[ -n "$status" ] || exit 1
exit "$code"
