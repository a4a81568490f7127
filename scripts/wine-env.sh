# Sourced by the scripts that run Win32 programs: a quiet, headless Wine with one persistent
# wineserver, started before the prefix is created so that parallel runs never race for it.
export WINEDEBUG=-all
export WINEDLLOVERRIDES=mscoree,mshtml=
wine_start() {
    wineserver -p || true  # already running is fine
    wineboot --init >/dev/null 2>&1 || true
}
wine_stop() {
    wineserver -k >/dev/null 2>&1 || true
}
