#!/usr/bin/env bash
# Long fuzzing runs of every target (libFuzzer, ASan, UBSan): the station file, controller
# replies and hostile host records.
#   bash scripts/fuzz.sh [--seconds S | --runs N] [TARGET...]
# Default: one hour per target. New corpus entries collect in build/fuzz/fuzz/corpus/<target>,
# crashes in build/fuzz/fuzz/artifacts/. Exits non-zero when a target found a fault.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
limit=(-max_total_time=3600)
targets=()
while [ $# -gt 0 ]; do
    case "$1" in
        --seconds) limit=(-max_total_time="$2"); shift 2 ;;
        --runs) limit=(-runs="$2"); shift 2 ;;
        -h|--help) sed -n '2,6p' "$0"; exit 0 ;;
        *) targets+=("$1"); shift ;;
    esac
done
[ ${#targets[@]} -gt 0 ] || targets=(station_file controller_replies host_inputs)

bash scripts/setup.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

out=$root/build/fuzz/fuzz
status=0
for target in "${targets[@]}"; do
    mkdir -p "$out/corpus/$target" "$out/artifacts"
    echo "== fuzz_$target ${limit[*]}"
    start=$(date +%s)
    if "$root/build/fuzz/bin/fuzz_$target" "${limit[@]}" -timeout=5 -print_final_stats=1 \
        -dict="$root/fuzz/zeloe.dict" -artifact_prefix="$out/artifacts/$target-" \
        "$out/corpus/$target" "$root/fuzz/corpus/$target" 2>&1 | tee "$out/$target.log" |
        grep -E '^(Done|stat::number_of_executed_units)|ERROR|SUMMARY'; then :; fi
    if grep -qE 'ERROR|SUMMARY: ' "$out/$target.log" || ! grep -q '^Done' "$out/$target.log"; then
        echo "fuzz_$target: FAULT FOUND (see $out/$target.log)"
        status=1
    else
        echo "fuzz_$target: clean after $(( $(date +%s) - start )) s"
    fi
done
exit $status
