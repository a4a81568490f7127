# Sourced by the scripts that run Win32 programs: a quiet, headless Wine in the project's own
# prefix under build/, so that nothing of the user's ~/.wine is used or stopped.
root_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="$root_dir/build/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES=mscoree,mshtml=
# The project's server ends by itself after this many idle seconds, also when a run is killed.
wine_idle_seconds=30

# True when this machine can run the 32-bit Windows programs (wine32 needs 32-bit Linux
# executables, which some kernels switch off). Prints why not otherwise.
wine_usable() {
    if ! command -v wine >/dev/null 2>&1; then
        echo "wine is not installed"
        return 1
    fi
    local loader=/usr/lib/wine/wine
    [ -x "$loader" ] || loader=$(command -v wine)
    if ! timeout 20 "$loader" --version >/dev/null 2>&1; then
        echo "this machine cannot execute 32-bit programs (32-bit emulation is off in its kernel)"
        return 1
    fi
    return 0
}

wine_start() {
    # Create the prefix once, then keep one server of this prefix running (with an idle
    # time-out) while the Win32 programs run, so that its services start outside any test: a
    # service started by a test would inherit that test's output pipes and keep its runner
    # waiting.
    mkdir -p "$WINEPREFIX"
    # A server of this prefix left by a run that was killed is simply used again.
    if ! wineserver -p"$wine_idle_seconds" 2>/dev/null; then
        echo "wine: using the server already running for $WINEPREFIX"
    fi
    wineboot --init >/dev/null 2>&1
}

wine_stop() {
    # The server of the project's own prefix only; it would also end by itself when idle.
    WINEPREFIX="$WINEPREFIX" wineserver -k >/dev/null 2>&1 || true
}
