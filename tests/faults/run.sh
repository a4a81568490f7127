#!/usr/bin/env bash
# Runs a test program against the simulator: starts the simulator with the fault plant on its
# own 127.a.b addresses, runs the program's tests that FILTER selects (natively, or under
# Wine), and stops the simulator it started.
#   run.sh NATIVE_BIN TARGET_BIN native|win32 PROGRAM FILTER NET
set -uo pipefail
native_bin=$1 target_bin=$2 target=$3 program=$4 filter=$5 net=$6
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
sim_pid=
cleanup() {
    if [ -n "$sim_pid" ]; then kill -INT "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null; fi
    rm -rf "$work"
}
trap cleanup EXIT

sed "s/@NET@/$net/g" "$here/plant.toml" > "$work/plant.toml"
"$native_bin/zeloe-sim" "$work/plant.toml" > "$work/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do
    grep -q '^ready' "$work/sim.log" && break
    kill -0 "$sim_pid" 2>/dev/null || { cat "$work/sim.log"; echo "simulator did not start"; exit 1; }
    sleep 0.05
done
grep -q '^ready' "$work/sim.log" || { echo "simulator not ready"; exit 1; }

export ZELOE_FAULT_NET=$net
if [ "$target" = win32 ]; then
    "$here/../../scripts/wine-run" "$target_bin/$program.exe" --gtest_filter="$filter"
else
    "$target_bin/$program" --gtest_filter="$filter"
fi
