#!/bin/sh
# Times the fixed-seed timing calls (fidelity_compare generate --timing) on
# SoftCanvas (perf_replay) and through Wine's GDI (gdi_replay --time) in
# alternating rounds, checks that both sides give the same pixels, and prints
# the best CPU ns/call of each side and their ratio.
#   compare_with_wine.sh BUILD_LINUX GDI_REPLAY_EXE [ROUNDS]
set -eu
build=$1
replay=$2
rounds=${3:-3}
work=$build/tests/bench/wine-compare
mkdir -p "$work"
wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
export WINEDEBUG=-all
export WINEPREFIX="${BRENLOW_WINEPREFIX:-$work/wineprefix}"
[ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot -i >/dev/null 2>&1 || true
compare=$build/tests/fidelity/fidelity_compare
"$compare" generate --timing "$work/bench.txt"
rm -f "$work"/times.*
i=1
while [ "$i" -le "$rounds" ]; do
  "$wine" "$replay" --time 3 "$work/bench.txt" | sed 's/^/wine /' >>"$work/times.txt"
  "$build/tests/perf/perf_replay" --time 3 "$work/bench.txt" | sed 's/^/soft /' >>"$work/times.txt"
  i=$((i + 1))
done
"$wine" "$replay" "$work/bench.txt" "$work/bench.gdi"
"$compare" compare "$work/bench.txt" "$work/bench.gdi" --quiet | tail -n 1
awk '{ side = $1; name = $2; cpu = $7
       key = side SUBSEP name
       if (!(key in best) || cpu < best[key]) best[key] = cpu
       if (!(name in seen)) { seen[name] = 1; order[n++] = name } }
     END { printf "%-20s %14s %14s %8s\n", "calls", "wine ns/call", "soft ns/call", "ratio"
           for (i = 0; i < n; i++) { w = best["wine" SUBSEP order[i]]; s = best["soft" SUBSEP order[i]]
             printf "%-20s %14.1f %14.1f %8.1f\n", order[i], w, s, (s > 0 ? w / s : 0) } }' \
  "$work/times.txt"
