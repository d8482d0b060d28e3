#!/usr/bin/env bash
# Runs a Windows program of the build under Wine with the project's environment.
# ctest uses it as the emulator of the windows preset.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/wine-env.sh"
# A test program that runs beside the others gets the second display scripts/test.sh started.
if [ -n "${TIDEMOOR_USE_SECOND_DISPLAY:-}" ] && [ -n "${TIDEMOOR_SECOND_DISPLAY:-}" ]; then
  export DISPLAY=$TIDEMOOR_SECOND_DISPLAY
fi
exec wine "$@"
