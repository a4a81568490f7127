#!/usr/bin/env bash
# Builds both targets and runs every test: native, then Win32 under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
. scripts/wine-env.sh

cmake --preset native >/dev/null
cmake --build --preset native
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan
cmake --preset win32 >/dev/null
cmake --build --preset win32

wine_start
trap wine_stop EXIT
status=0
ctest --preset native || status=1
ctest --preset native-asan || status=1
ctest --preset win32 || status=1
exit $status
