#!/usr/bin/env bash
# Counts the nested message loops, then builds and runs every benchmark: the native ones directly,
# the Windows ones under Wine.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
echo "== nested message loops"
bash scripts/count-nested-loops.sh
bash scripts/setup.sh >/dev/null
# Figures come from optimised builds: the native benchmarks get a Release tree of their own.
[ -f build/bench-native/CMakeCache.txt ] ||
  cmake -S . -B build/bench-native -DTIDEMOOR_TARGET=native -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench-native -j"$(nproc)" >/dev/null 2>&1
bash scripts/build.sh windows >/dev/null 2>&1

# Some native benchmarks drive Windows programs that open windows: the display comes first.
source scripts/wine-env.sh
TIDEMOOR_OWN_DISPLAY=1
source scripts/xvfb.sh
trap 'wineserver -k >/dev/null 2>&1 || true; kill "$xvfb_pid" 2>/dev/null || true' EXIT

for bench in build/bench-native/bench/*_bench; do
  [ -x "$bench" ] || continue
  echo "== $(basename "$bench")"
  "$bench" || echo "(goal missed)"
done

# The sources name the programs: a program left in the build tree by a removed source is not run.
for source in bench/*_win_bench.cpp; do
  name=$(basename "$source" .cpp)
  case $name in minimal_window_win_bench | controls_window_win_bench) continue ;; esac
  echo "== $name"
  wine "build/windows/bin/bench/$name.exe" || echo "(goal missed)"
done
