# Sourced by the scripts that run Windows programs: the project's own Wine
# prefix in the build folder, in the Chinese code page, quiet.
TAVENRO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${TAVENRO_WINEPREFIX:-$TAVENRO_ROOT/build/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Exported only into Wine's environment (no zh_CN locale is generated here,
# and Wine needs none: the variables alone select code page 936).
wine_locale=(env LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8)

# Creates the prefix once; concurrent callers wait for the first.
wine_prefix_ready() {
    [ -f "$WINEPREFIX/.tavenro-ready" ] && return 0
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.tavenro-ready" ]; then
            echo "creating Wine prefix $WINEPREFIX (once; takes a few minutes)" >&2
            "${wine_locale[@]}" /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
            "${wine_locale[@]}" wineserver -w
            # The shell's "open" goes to the program named here instead of a
            # browser; tests point it at their recorder through PATH.
            "${wine_locale[@]}" /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\WineBrowser' \
                /v Browsers /d tavenro-browser /f >/dev/null 2>&1
            "${wine_locale[@]}" wineserver -w
            touch "$WINEPREFIX/.tavenro-ready"
        fi
    ) 9>"$WINEPREFIX.lock"
}

# Starts the prefix's server and its services detached from the caller's
# output: Wine's services outlive the program that started them, and a
# caller such as ctest would otherwise wait for them to close its pipes.
wine_services_ready() {
    wine_prefix_ready
    "${wine_locale[@]}" wineserver -p >/dev/null 2>&1 </dev/null || true
    "${wine_locale[@]}" /usr/lib/wine/wine64 wineboot >/dev/null 2>&1 </dev/null || true
}

# The loader for one executable: 64-bit programs run on wine64 directly;
# 32-bit ones on the 32-bit loader, which needs a kernel that executes
# i386 code (scripts/enable-i386.sh provides one where the kernel lacks it).
wine_loader_for() {
    case "$(file -b "$1")" in
    PE32+*) echo /usr/lib/wine/wine64 ;;
    *) echo wine ;;
    esac
}
