#!/usr/bin/env bash
# Runs a Windows program of the build under Wine with the project's environment.
# ctest uses it as the emulator of the windows preset.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/wine-env.sh"
exec wine "$@"
