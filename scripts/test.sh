#!/usr/bin/env bash
# Builds both targets and runs every test: native, sanitizers, memcheck, short fuzzing runs,
# then Win32 under Wine. Exit status 0 only when every test that ran passed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
. scripts/wine-env.sh

cmake --preset native >/dev/null
cmake --build --preset native
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
cmake --preset win32 >/dev/null
cmake --build --preset win32

status=0
ctest --preset native || status=1       # includes the memcheck runs
ctest --preset native-asan || status=1
ctest --preset fuzz || status=1         # a short run of every fuzz target

if why=$(wine_usable); then
    wine_start
    trap wine_stop EXIT
    ctest --preset win32 || status=1
else
    echo
    echo "*** Win32 tests NOT RUN: $why."
    echo "*** zeloe.dll and the Win32 tests were built; run this script on a machine that can"
    echo "*** execute 32-bit programs to run them (ZELOE_REQUIRE_WIN32=1 makes this a failure)."
    if [ "${ZELOE_REQUIRE_WIN32:-0}" = 1 ]; then status=1; fi
fi
exit $status
