#!/usr/bin/env bash
# The demo: simulated controllers, the command-line host and the real driver, natively and then
# as the Win32 DLL under Wine. Everything it starts is stopped at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/setup.sh
. scripts/wine-env.sh

echo "== Building (native and Win32)"
cmake --preset native >/dev/null
cmake --build --preset native --target zeloe zeloe_cli zeloe-sim >/dev/null
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target zeloe zeloe_cli >/dev/null

work=$(mktemp -d)
cp examples/zelOE01.int examples/gates.txt "$work/"
sim_pid=
cleanup() {
    if [ -n "$sim_pid" ]; then kill -INT "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi
    wine_stop
    rm -rf "$work"
}
trap cleanup EXIT

build/native/bin/zeloe-sim examples/plant.toml > "$work/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do grep -q '^ready' "$work/sim.log" && break; sleep 0.05; done
echo "== Simulator: $(grep -c '^listening' "$work/sim.log") controllers listening (examples/plant.toml)"
grep '^listening' "$work/sim.log" | sed 's/^/   /'

zeloe() { "$root/build/native/bin/zeloe" -C "$work" "$@" || true; }
step() { printf '\n== %s\n' "$*"; }

step "Driver information"
zeloe info
step "What the driver makes of the station file zelOE01.int"
zeloe check
step "Start, then one read of every gate kind (station 3 is switched off)"
zeloe poll gates.txt --cycles 1 --interval 0
step "Writes, each read back"
for write in "001CSPEED 1500" "001DSETPT 22.75" "001FDELAY 2.5" "001EMSG written by zeloe" \
             "001GLEVELS0003 444" "001HFLOWS0002 9.5" "001INAMES0003 agitator" \
             "001ADOOR off" "001BTEMP1 19.5"; do
    set -- $write
    address=$1; shift
    zeloe -q write "$address" "$*" --verify
done
step "A block read: 8 elements of LEVELS from index 0, in one exchange"
zeloe -q block 001GLEVELS0000 -n 8
step "Three poll cycles"
zeloe -q poll gates.txt --cycles 3 --interval 300
step "Station 3 does not answer: a read, then RestartStation"
zeloe read 003CSPEED
zeloe -q restart 3

step "The same driver as the DLL a Windows host loads (zeloe.dll under Wine)"
if why=$(wine_usable); then
    wine_start
    winhost() { "$root/scripts/wine-run" "$root/build/win32/bin/zeloe.exe" -C "$work" "$@" || true; }
    winhost info
    winhost -q write 001CSPEED 2024 --verify
    winhost -q block 001HFLOWS0000 -n 4
    winhost -q poll gates.txt --cycles 1 --interval 0
else
    echo "   skipped: $why"
fi

echo
echo "== Done: simulator and Wine stopped"
