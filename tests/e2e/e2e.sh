#!/usr/bin/env bash
# End-to-end scenarios: the simulator on loopback addresses, the command-line host and the real
# driver library (native libzeloe.so, or zeloe.dll under Wine).
#   e2e.sh NATIVE_BIN_DIR TARGET_BIN_DIR native|win32 SCENARIO NET
# NET is the 127.a.b prefix that only this scenario uses, so scenarios can run in parallel.
set -uo pipefail

native_bin=$1 target_bin=$2 target=$3 scenario=$4 net=$5
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
sim_pid=
failures=0

cleanup() {
    if [ -n "$sim_pid" ]; then kill -INT "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null; fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# start_sim PLANT_TEXT [SIM_ARGS...]
start_sim() {
    printf '%s\n' "$1" > "$work/plant.toml"
    shift
    "$native_bin/zeloe-sim" "$work/plant.toml" --trace "$@" > "$work/sim.log" 2>&1 &
    sim_pid=$!
    for _ in $(seq 100); do
        grep -q '^ready' "$work/sim.log" 2>/dev/null && return 0
        kill -0 "$sim_pid" 2>/dev/null || break
        sleep 0.05
    done
    cat "$work/sim.log"
    echo "simulator did not start"
    exit 1
}

stations() { printf '%s\n' "$@" > "$work/zelOE01.int"; }

# cli ARGS...: runs the command-line host in the work directory; output in $out, exit in $code.
cli() {
    # With pipefail the status is the host's own, not that of tr.
    if [ "$target" = win32 ]; then
        out=$("$here/../../scripts/wine-run" "$target_bin/zeloe.exe" -C "$work" --timeout-ms 1000 "$@" 2>&1 | tr -d '\r')
    else
        # ZELOE_WRAP runs the host under a checker (valgrind); its findings fail the step.
        out=$(${ZELOE_WRAP:-} "$target_bin/zeloe" -C "$work" --timeout-ms 1000 "$@" 2>&1)
    fi
    code=$?
    echo "\$ zeloe $*"
    printf '%s\n' "$out" | sed 's/^/    /'
}

expect_code() { [ "$code" = "$1" ] || fail "exit code $code, expected $1"; }
# With a checker, its exit code 99 or any report of it in the output is a failure.
if [ -n "${ZELOE_WRAP:-}" ]; then
    eval "$(declare -f cli | sed '1s/cli/cli_unchecked/')"
    cli() {
        cli_unchecked "$@"
        [ "$code" != 99 ] || fail "memcheck found errors"
        ! grep -q '^==[0-9]*==' <<< "$out" || fail "memcheck report"
    }
fi
expect() { grep -qF -- "$1" <<< "$out" || fail "output lacks: $1"; }
expect_count() {
    local n
    n=$(grep -cF -- "$2" <<< "$out")
    [ "$n" = "$1" ] || fail "\"$2\" seen $n times, expected $1"
}

A=$net.1
PLANT="[[station]]
address = \"$A\"
[station.integers]
SPEED = 1200
[station.floats]
SETPT = 21.5
[station.timers]
DELAY = 1.5
[station.strings]
MSG = \"hello\"
[station.integer_tables]
LEVELS = [10, 20, 30, 40, 50, 60]
[station.float_tables]
FLOWS = [0.5, 1.25, 2.0]
[station.string_tables]
NAMES = [\"pump\", \"fan\"]
[station.digital_points.DOOR]
on = true
[station.analog_points.TEMP1]
value = 21.25
[station.digital_units.RACK1]
[station.analog_units.RACK2]
configured = false
[station.pid_loops.LOOP1]
enabled = false
[station.events]
ALARM = true"

case "$scenario" in
define)
    start_sim "$PLANT"
    stations "001:$A"
    cli define 001GLEVELS0012; expect_code 0
    expect "station 1  kind/table 100  element index 12  words 255 32"
    cli define 001CSPEED --type 3; expect_code 1
    expect "ZELOE: Gate 001CSPEED                        :Illegal Gate Type entered."
    cli write 001JRACK1 1 --type 4; expect_code 1
    cli write 001KRACK2 1 --type 0; expect_code 3
    ;;
reads)
    start_sim "$PLANT"
    stations "001:$A"
    cli read 001CSPEED;      expect_code 0; expect "001CSPEED = 1200"
    cli read 001JRACK1;      expect_code 0; expect "= 1 (enabled)"
    cli read 001KRACK2;      expect_code 0; expect "= 2 (unit not configured)"
    cli read 001LLOOP1;      expect_code 0; expect "= 0 (not enabled)"
    cli read 001MALARM;      expect_code 0; expect "001MALARM = on"
    ;;
writes|writes-tables|writes-points)
    start_sim "$PLANT"
    stations "001:$A"
    case "$scenario" in
        writes) pairs=("001CSPEED -42" "001DSETPT 3.25" "001FDELAY 0.5" "001EMSG two words") ;;
        writes-tables) pairs=("001GLEVELS0002 777" "001HFLOWS0001 -1.5" "001INAMES0001 blower") ;;
        writes-points) pairs=("001ADOOR off" "001BTEMP1 18.5") ;;
    esac
    for pair in "${pairs[@]}"; do
        set -- $pair
        address=$1; shift
        cli write "$address" "$*" --verify
        expect_code 0
        expect "$address = $*"
    done
    ;;
block)
    start_sim "$PLANT"
    stations "001:$A"
    cli block 001GLEVELS0001 -n 4; expect_code 0
    expect "[0] 20"; expect "[3] 50"
    cli block 001HFLOWS0000 -n 3; expect_code 0
    expect "[1] 1.25"; expect "[2] 2"
    cli block 001GLEVELS0004 -n 5; expect_code 1
    expect "ZELOE:Failed to read Block of Table Data. Gate = LEVELS0004"
    ;;
unknown)
    start_sim "$PLANT"
    stations "001:$A"
    cli read 001CNOSUCH; expect_code 1
    expect_count 3 "ZELOE:GateNOSUCH  not defined in Opto Controller!"
    expect_count 0 "Failed to read data"
    cli write 001CNOSUCH 5; expect_code 1
    expect "ZELOE: Failed to write data to PLC. Gate= NOSUCH."
    expect "ZELOE: Error: ^NOSUCH  ."
    ;;
powerup)
    start_sim "[[station]]
address = \"$A\"
power_up = true
[station.integers]
SPEED = 7"
    stations "001:$A"
    cli read 001CSPEED; expect_code 0; expect "001CSPEED = 7"
    grep -q '<- "A\\r"' "$work/sim.log" || fail "no power-up clear reached the controller"
    ;;
restart)
    # The controller drops its first connection right after the power-up clear.
    start_sim "$PLANT" --fault "$A:close-after=1"
    stations "001:$A"
    cli restart 1 --read 001CSPEED; expect_code 0
    expect "001CSPEED = -- no connection or no reply"
    expect "ZelOE: Reconnecting PLC 01, TcpIp address $A"
    expect "001CSPEED = 1200"
    ;;
silent)
    start_sim "$PLANT" --fault "$A:silent"
    stations "001:$A"
    cli read 001CSPEED; expect_code 2
    expect_count 3 "ZELOE:Failed to send Command to the Controller"
    expect_count 2 "ZELOE:Re-sending command to Controller,Retry"
    expect "ZELOE: Failed to read data from PLC 1!"
    ;;
unreachable)
    # A configured station nobody answers for, next to one that works.
    start_sim "$PLANT"
    stations "001:$A" "002:$net.2"
    cli check; expect_code 0
    expect "station 1 at $A"; expect "station 2 at $net.2"
    cli read 002CSPEED; expect_code 2
    expect "ZelOE: Fail to Connect to PLC 02 ($net.2),"
    expect "ZELOE:Cold Start Powerup Msg to PLC 2 failed!"
    expect "ZelOE: Disconnect PLC 02 ($net.2)"
    ;;
poll)
    start_sim "$PLANT"
    stations "001:$A"
    printf '001CSPEED\n001DSETPT\n001ADOOR\n001INAMES0000\n' > "$work/gates.txt"
    cli poll gates.txt --cycles 2 --interval 10; expect_code 0
    expect "-- cycle 2"; expect_count 2 "pump"
    expect "ZelOE: Disconnect PLC 01 ($A)"
    ;;
tap)
    # The tap relays a whole session unchanged and logs every exchange.
    start_sim "$PLANT"
    T=$net.2
    if [ "$target" = win32 ]; then
        "$here/../../scripts/wine-run" "$target_bin/zeloe.exe" tap --listen "$T" --to "$A" \
            --log "$work/tap.jsonl" --seconds 60 > "$work/tap.out" 2>&1 &
    else
        ${ZELOE_WRAP:-} "$target_bin/zeloe" tap --listen "$T" --to "$A" --log "$work/tap.jsonl" \
            --seconds 60 > "$work/tap.out" 2>&1 &
    fi
    tap_pid=$!
    for _ in $(seq 200); do grep -q 'listening' "$work/tap.out" 2>/dev/null && break; sleep 0.05; done
    grep -q 'listening' "$work/tap.out" || fail "the tap did not start"
    stations "001:$T"
    cli read 001CSPEED; expect_code 0; expect "001CSPEED = 1200"
    cli write 001DSETPT 7.25 --verify; expect_code 0; expect "001DSETPT = 7.25"
    cli block 001GLEVELS0001 -n 4; expect_code 0; expect "[3] 50"
    cli read 001CNOSUCH; expect_code 1
    kill -INT "$tap_pid"; wait "$tap_pid"
    for command in '^SPEED @@ .' '7.25 ^SETPT @!' '^SETPT @@ F.' '5 1 }LEVELS TRange.' \
                   '^NOSUCH @@ .'; do
        grep -qF "\"text\":\"$command\\r\"" "$work/tap.jsonl" || fail "the log lacks $command"
    done
    [ "$(grep -c '"direction":"reply"' "$work/tap.jsonl")" -ge 10 ] || fail "replies missing in the log"
    grep -q '"reply_ms":' "$work/tap.jsonl" || fail "no reply times in the log"
    grep -q '(reply after' "$work/tap.out" || fail "no reply times shown"
    ;;
stats)
    start_sim "$PLANT" --fault "$A:delay=20@SETPT"
    stations "001:$A"
    printf '001CSPEED\n001DSETPT\n001INAMES0000\n' > "$work/gates.txt"
    cli poll gates.txt --cycles 2 --interval 10 --stats --csv poll.csv; expect_code 0
    expect "cycle 2 took"; expect "-- totals"
    grep -qE '^001DSETPT +2 +0 +0 +[0-9]{2}\.' <<< "$out" || fail "no reply time of about 20 ms for SETPT"
    lines=$(tr -d '\r' < "$work/poll.csv" | wc -l)
    [ "$lines" = 7 ] || fail "poll.csv has $lines lines, expected a header and 6 rows"
    tr -d '\r' < "$work/poll.csv" | head -1 | grep -qx 'time,cycle,address,result,value' || fail "csv header"
    tr -d '\r' < "$work/poll.csv" | grep -qE '^[0-9T:.-]+Z,2,001INAMES0000,0,pump$' || fail "csv row"
    ;;
docs)
    # The examples of the documentation, run: the station file and what check says of it,
    # and what DefineGate reports for every example address.
    docs="$here/../../docs"
    block() { awk -v m="<!-- example: $1 -->" '$0==m{f=1;next} f&&/^```text/{g=1;next} g&&/^```/{exit} g' "$2"; }
    block station-file "$docs/station-file.md" > "$work/zelOE01.int"
    block check-output "$docs/station-file.md" > "$work/expected.txt"
    cli check; expect_code 1
    diff <(printf '%s\n' "$out" | grep '^line') "$work/expected.txt" || fail "check differs from station-file.md"
    stations "001:$A"
    rows=$(awk '/<!-- example: gate-addresses -->/{f=1;next} f&&/^\| `/{print} f&&/^$/{exit}' "$docs/gate-addresses.md")
    [ "$(wc -l <<< "$rows")" -ge 15 ] || fail "gate-addresses.md has too few examples"
    while IFS='|' read -r _ address type verdict station kind _; do
        address=$(sed 's/^ *`//; s/` *$//' <<< "$address"); type=$(tr -d ' ' <<< "$type")
        station=$(tr -d ' ' <<< "$station"); kind=$(tr -d ' ' <<< "$kind")
        cli define "$address" --type "$type"
        case "$verdict" in
            *accepted*) expect_code 0; expect "station $station  kind/table $kind " ;;
            *) expect_code 1; expect "station $station "
               expect "$(sed 's/.*refused: //; s/ *$//' <<< "$verdict")" ;;
        esac
    done <<< "$rows"
    ;;
cli)
    # What the command-line host itself promises: exit 3 for usage and set-up problems, 0 for
    # --help, a station file checked under its own name, --lib relative to where it started.
    start_sim "$PLANT"
    stations "001:$A"
    cli no-such-command; expect_code 3
    cli read; expect_code 3
    cli --help; expect_code 0
    cli read 01CSPEED --type 4; expect_code 3
    expect "does not begin with a station number 001..255"
    printf '005:%s\n' "$A" > "$work/other.int"
    cli check other.int; expect_code 0
    expect "station 5 at $A"
    expect_count 0 "station 1 at"
    if [ "$target" = native ]; then
        out=$(cd "$target_bin/.." && ./bin/zeloe -C "$work" --lib bin/libzeloe.so read 001CSPEED 2>&1)
    else
        out=$(cd "$target_bin/.." && "$here/../../scripts/wine-run" bin/zeloe.exe -C "$work" \
            --lib bin/zeloe.dll read 001CSPEED 2>&1 | tr -d '\r')
    fi
    code=$?
    printf '%s\n' "$out" | sed 's/^/    /'
    expect_code 0; expect "001CSPEED = 1200"
    ;;
sim)
    # The simulator never claims an address it could not take, and idles while a reply to a
    # client that has gone is still due.
    start_sim "[[station]]
address = \"$A\"
[station.integers]
SPEED = 5
[station.gate_faults.SPEED]
delay_ms = 1500"
    "$native_bin/zeloe-sim" "$work/plant.toml" > "$work/second.log" 2>&1
    second=$?
    [ "$second" = 2 ] || fail "a second simulator on the same address exited $second, expected 2"
    ! grep -q '^ready' "$work/second.log" || fail "the second simulator said ready"
    exec 3<>"/dev/tcp/$A/2001" && printf '^SPEED @@ .\r' >&3 && exec 3>&-
    sleep 0.2
    ticks() { awk '{ print $14 + $15 }' "/proc/$sim_pid/stat"; }
    before=$(ticks); sleep 1; after=$(ticks)
    [ $((after - before)) -lt 30 ] || fail "the simulator used $((after - before)) ticks of CPU in 1 s while idle"
    ;;
*)
    echo "unknown scenario $scenario"; exit 2 ;;
esac

if [ "$failures" -ne 0 ]; then
    if [ -f "$work/sim.log" ]; then echo "--- simulator log"; cat "$work/sim.log"; fi
    exit 1
fi
echo "scenario $scenario passed"
