# Sourced by the scripts that run Win32 programs: a quiet, headless Wine with one persistent
# wineserver, so that parallel runs never race to create the prefix or start its services.
export WINEDEBUG=-all
export WINEDLLOVERRIDES=mscoree,mshtml=
wine_start() {
    # Create the prefix, then replace whatever server made it by one persistent server whose
    # services are started here, with no test's output pipes: a service started by a test would
    # inherit that test's stdout and keep its runner waiting.
    wineboot --init >/dev/null 2>&1 || true
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    wineserver -p
    wineboot >/dev/null 2>&1 || true
}
wine_stop() {
    wineserver -k >/dev/null 2>&1 || true
}
