#!/usr/bin/env bash
# Instructions per gate operation inside ZelMain, counted by callgrind against the simulator
# on loopback: the driver's own code and the system-call wrappers of the C library apart.
#   bash scripts/instructions.sh [COUNT]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
count=${1:-2000}
bin=$root/build/native/bin
work=$(mktemp -d)
sim_pid=
cleanup() {
    if [ -n "$sim_pid" ]; then kill -INT "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
address=127.46.0.1
cat > "$work/plant.toml" <<PLANT
[[station]]
address = "$address"
[station.integers]
SPEED = 1200
[station.strings]
MSG = "hello from station 1"
[station.integer_tables]
LEVELS = [$(seq -s, 1 60)]
[station.float_tables]
FLOWS = [0.5, 1.25, 2.0]
[station.digital_points.DOOR]
on = true
PLANT
"$bin/zeloe-sim" "$work/plant.toml" > "$work/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do grep -q '^ready' "$work/sim.log" && break; sleep 0.05; done
grep -q '^ready' "$work/sim.log" || { cat "$work/sim.log"; echo "simulator did not start"; exit 1; }
echo "001:$address" > "$work/zelOE01.int"

printf '%-18s %12s %12s %12s\n' operation "driver/op" "wrappers/op" "total/op"
for op in read-int read-float-table read-string write-int write-digital read-block; do
    (cd "$work" && valgrind --tool=callgrind --toggle-collect=ZelMain \
        --callgrind-out-file="$work/$op.out" "$bin/zeloe-ops" "$address" "$op" "$count" \
        >/dev/null 2>&1) || { echo "$op failed"; exit 1; }
    # Per object: the program holds the driver, libc the system-call wrappers.
    callgrind_annotate --inclusive=no --threshold=100 "$work/$op.out" 2>/dev/null |
        awk -v n="$count" -v op="$op" '
            / PROGRAM TOTALS/ { gsub(",", "", $1); total = $1 }
            /:/ && $1 ~ /^[0-9,]+$/ { v = $1; gsub(",", "", v);
                if ($0 ~ /libc[.-]/ || $0 ~ /\?\?\?:/) wrap += v }
            END { printf "%-18s %12.0f %12.0f %12.0f\n", op, (total - wrap) / n, wrap / n, total / n }'
done
