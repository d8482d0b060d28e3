#!/usr/bin/env bash
# Set-up, build of both presets, then every test: native ones directly, Windows ones under Wine
# inside private Xvfb displays. The native preset is built in its sanitizer variant only: the same
# tests, also checked for memory and undefined-behaviour faults, in one build instead of two.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh
bash scripts/check-dependencies-test.sh
bash scripts/check-dependencies.sh
bash scripts/count-nested-loops-test.sh
bash scripts/count-nested-loops.sh --expect 0

bash scripts/build.sh native-sanitize
bash scripts/build.sh windows

ctest --preset native-sanitize

source scripts/wine-env.sh
# Two lanes, each a Wine prefix and a display of its own: the end-to-end tests on the first, the
# slow end-to-end program and then the other Windows suites beside them on the second.
slow_prefix=build/wineprefix-slow
[ -f "$slow_prefix/system.reg" ] || { wineserver -w; cp -a "$WINEPREFIX" "$slow_prefix"; }
TIDEMOOR_OWN_DISPLAY=1
source scripts/xvfb.sh
first_xvfb_pid=$xvfb_pid
first_display=$DISPLAY
source scripts/xvfb.sh
export TIDEMOOR_SECOND_DISPLAY=$DISPLAY
export DISPLAY=$first_display
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$root/$slow_prefix wineserver -k >/dev/null 2>&1 || true
  kill "$first_xvfb_pid" "${xvfb_pid:-}" 2>/dev/null || true
}
trap cleanup EXIT
# Wine's own server has been seen to crash when the machine is very busy, taking down whichever
# test program was running. Only after such a crash do the failed programs run once more; any
# other failure fails the run.
if ! ctest --preset windows -j2; then
  grep -q "wineserver crashed" build/windows/Testing/Temporary/LastTest.log || exit 1
  echo "Wine's server crashed during the run: the failed test programs run once more"
  wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$root/$slow_prefix wineserver -k >/dev/null 2>&1 || true
  ctest --preset windows -j2 --rerun-failed
fi
