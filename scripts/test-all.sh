#!/usr/bin/env bash
# Builds every build and runs every test: native, native under the
# sanitizers, and the Windows builds under Wine (with a virtual X display).
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh || exit 1
scripts/enable-i386.sh || exit 1
source scripts/wine-env.sh

failed=()
step() { # name, command...
    local name=$1
    shift
    echo "== $name"
    "$@" || failed+=("$name")
}

build() { # preset
    cmake --preset "$1" >/dev/null && cmake --build --preset "$1"
}

for preset in native native-asan windows64 windows; do
    step "build $preset" build "$preset"
done

# A display of our own for the Windows programs' windows.
exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null)
read -r -t 30 display <&3 || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display"
xvfb_pid=$(pgrep -n Xvfb)

wine_services_ready
cleanup() {
    "${wine_locale[@]}" wineserver -k 2>/dev/null
    "${wine_locale[@]}" wineserver -w 2>/dev/null
    kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

step "test native" ctest --preset native -j2
step "test native-asan" ctest --preset native-asan -j2
step "test windows64 (Wine)" ctest --preset windows64
# The shipped 32-bit build: where the kernel runs i386 code only through
# emulation (about 40 s per Wine program start), a smoke subset runs.
if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
    step "test windows (Wine, 32-bit, emulated: smoke)" ctest --preset windows -L wine32-smoke
else
    step "test windows (Wine, 32-bit)" ctest --preset windows
fi

# Each benchmark once, briefly, so that the suite keeps building and running
# (scripts/bench.sh for the figures).
step "build bench" build bench
step "benchmarks (smoke)" ctest --preset bench-smoke

# Each fuzz target briefly, so that a regression shows (scripts/fuzz.sh 600
# for real runs).
step "fuzz (20 s per target)" scripts/fuzz.sh 20

if [ ${#failed[@]} -ne 0 ]; then
    printf 'FAILED: %s\n' "${failed[@]}"
    exit 1
fi
echo "all builds and tests passed"
