#!/bin/bash
# Side-by-side speed of the working tree against an earlier revision:
# builds both (Release, the same flags) with this tree's codec_bench, runs
# codec_bench and analysis_bench of the two builds alternately ROUNDS times
# and prints per benchmark the medians of bytes per second and their ratio.
#
#   scripts/bench-compare.sh BASE_REVISION [ROUNDS]     (default 5 rounds)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rev=${1:?base revision}
rounds=${2:-5}
out=$root/build/compare
base_src=$out/base-src
rm -rf "$base_src"
mkdir -p "$base_src"
git -C "$root" archive "$rev" | tar -x -C "$base_src"
# The same benchmark program on both sides, so every figure has a partner.
cp "$root/bench/codec_bench.cpp" "$base_src/bench/codec_bench.cpp"

for side in base new; do
  src=$root
  [ $side = base ] && src=$base_src
  cmake -S "$src" -B "$out/$side" -DCMAKE_BUILD_TYPE=Release -DZANTOR_BENCH=ON -DZANTOR_TESTS=OFF \
    -DZANTOR_CORPUS="$root/../shared/corpus" -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
  cmake --build "$out/$side" -j"${ZANTOR_JOBS:-2}" --target codec_bench analysis_bench >/dev/null
done

: >"$out/figures.csv"
for ((r = 1; r <= rounds; ++r)); do
  for side in base new; do
    for b in codec_bench analysis_bench; do
      timeout 600 "$out/$side/bench/$b" --benchmark_format=csv --benchmark_min_time=0.2 2>/dev/null |
        awk -F, -v side=$side '$6 ~ /^[0-9.e+]+$/ { gsub(/"/, "", $1); print side "," $1 "," $6 }' >>"$out/figures.csv"
    done
  done
done

echo "benchmark,base MB/s,new MB/s,new/base (medians of $rounds alternated rounds against $rev)"
sort -t, -k2,2 -k1,1 -k3,3g "$out/figures.csv" | awk -F, '
  function median(side,   n) { n = count[side]; return n % 2 ? v[side, (n + 1) / 2] : (v[side, n / 2] + v[side, n / 2 + 1]) / 2 }
  function flush() { if (name != "") printf "%s,%.1f,%.1f,%.2f\n", name, median("base") / 1e6, median("new") / 1e6, median("new") / median("base") }
  $2 != name { flush(); name = $2; count["base"] = count["new"] = 0 }
  { v[$1, ++count[$1]] = $3 }
  END { flush() }'
