#!/usr/bin/env bash
# The scripts' Wine lives in the project's own prefix under build/: a run never uses or stops
# a Wine of the user's (~/.wine), and no script stops a server outside that prefix.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

prefix=$(HOME=/nonexistent WINEPREFIX=/somewhere/else bash -c ". '$root/scripts/wine-env.sh'; echo \$WINEPREFIX")
[ "$prefix" = "$root/build/wine-prefix" ] || fail "WINEPREFIX is $prefix, not the project's"
grep -q '^\. "$(dirname "$0")/wine-env.sh"' "$root/scripts/wine-run" || fail "wine-run does not source wine-env.sh"
# Every wineserver call of the scripts runs with the project's prefix in force.
for script in "$root"/scripts/*.sh "$root/scripts/wine-run"; do
    if grep -n 'wineserver' "$script" | grep -v '^[0-9]*:#' | grep -v 'wine-env.sh' >/dev/null &&
        ! grep -q 'wine-env.sh' "$script" && [ "$(basename "$script")" != wine-env.sh ]; then
        fail "$(basename "$script") calls wineserver without the project's prefix"
    fi
done
grep -q 'wineserver -p"$wine_idle_seconds"' "$root/scripts/wine-env.sh" || fail "the server has no idle time-out"
[ "$failures" = 0 ] && echo "wine environment: the project's own prefix only"
exit $((failures != 0))
