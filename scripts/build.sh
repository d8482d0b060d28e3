#!/usr/bin/env bash
# Configures and builds one preset (native, native-sanitize or windows).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
preset=$1
# A compiler cache, when the machine has one (setup installs it): a build after a change, or in a
# fresh clone on a machine that has built the tool before, compiles only what differs. Paths below
# the checkout count relative to it, so every clone shares the cache.
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR=$root
fi
[ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j"$(nproc)"
