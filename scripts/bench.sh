#!/usr/bin/env bash
# The whole performance table in one run: exchanges per second of the driver beside a raw
# client with plain blocking sockets and one that makes the driver's calls (natively, and
# zeloe.dll under Wine where this machine can run it), the waits the driver adds, and the
# driver's instructions per operation under callgrind.
#   bash scripts/bench.sh [--rounds N] [--ops N]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/setup.sh
. scripts/wine-env.sh
cmake --preset native >/dev/null
cmake --build --preset native --target zeloe-bench zeloe-ops zeloe-sim >/dev/null
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target zeloe-bench >/dev/null

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'),"\
     "$(uname -sr)"
echo
(cd build/native && bin/zeloe-bench "$@")
echo
if why=$(wine_usable); then
    wine_start
    trap wine_stop EXIT
    (cd build/win32 && "$root/scripts/wine-run" bin/zeloe-bench.exe "$@")
else
    echo "zeloe.dll under Wine: not run ($why)"
fi
echo
echo "instructions per operation inside ZelMain (callgrind, native)"
bash scripts/instructions.sh 2000
