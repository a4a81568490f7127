#!/usr/bin/env bash
# The demo: simulated controllers, the command-line host and the real driver, natively and then
# as the Win32 DLL under Wine. It stops at the first step that fails, says which, and exits
# non-zero; whatever it started is stopped in every case.
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
wine_started=
cleanup() {
    if [ -n "$sim_pid" ]; then kill -INT "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi
    if [ -n "$wine_started" ]; then wine_stop; fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo
    echo "== DEMO FAILED: $*" >&2
    exit 1
}

build/native/bin/zeloe-sim examples/plant.toml > "$work/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do
    grep -q '^ready' "$work/sim.log" && break
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.05
done
if ! grep -q '^ready' "$work/sim.log"; then
    cat "$work/sim.log"
    fail "the simulator did not start (is another one holding its addresses?)"
fi
echo "== Simulator: $(grep -c '^listening' "$work/sim.log") controllers listening (examples/plant.toml)"
grep '^listening' "$work/sim.log" | sed 's/^/   /'

# run EXPECTED_EXIT COMMAND...: a step of the demo; any other exit code ends the demo.
run() {
    local expected=$1 code=0
    shift
    "$@" || code=$?
    [ "$code" = "$expected" ] || fail "\"${*: -4}\" exited with $code, expected $expected"
}
zeloe() { "$root/build/native/bin/zeloe" -C "$work" "$@"; }
step() { printf '\n== %s\n' "$*"; }

step "Driver information"
run 0 zeloe info
step "What the driver makes of the station file zelOE01.int"
run 0 zeloe check
step "Start, then one read of every gate kind (station 3 is switched off, so its read gives 2)"
run 2 zeloe poll gates.txt --cycles 1 --interval 0
step "Writes, each read back"
for write in "001CSPEED 1500" "001DSETPT 22.75" "001FDELAY 2.5" "001EMSG written by zeloe" \
             "001GLEVELS0003 444" "001HFLOWS0002 9.5" "001INAMES0003 agitator" \
             "001ADOOR off" "001BTEMP1 19.5"; do
    set -- $write
    address=$1; shift
    run 0 zeloe -q write "$address" "$*" --verify
done
step "A block read: 8 elements of LEVELS from index 0, in one exchange"
run 0 zeloe -q block 001GLEVELS0000 -n 8
step "Three poll cycles"
run 2 zeloe -q poll gates.txt --cycles 3 --interval 300
step "Station 3 does not answer: a read, then RestartStation"
run 2 zeloe read 003CSPEED
run 1 zeloe -q restart 3

step "The same driver as the DLL a Windows host loads (zeloe.dll under Wine)"
if why=$(wine_usable); then
    wine_start
    wine_started=1
    winhost() { "$root/scripts/wine-run" "$root/build/win32/bin/zeloe.exe" -C "$work" "$@"; }
    run 0 winhost info
    run 0 winhost -q write 001CSPEED 2024 --verify
    run 0 winhost -q block 001HFLOWS0000 -n 4
    run 2 winhost -q poll gates.txt --cycles 1 --interval 0
else
    echo "   skipped: $why"
fi

echo
echo "== Done: every step gave the result it should; simulator stopped"
