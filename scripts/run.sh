#!/usr/bin/env bash
# Set-up, build, then Tidemoor.exe under Wine from the tool directory run/ (or the one given).
# Without a display it runs inside a private Xvfb and writes run/screenshot.png of the window.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh
bash scripts/build.sh windows

tool_dir=${1:-$root/run}
mkdir -p "$tool_dir"
cp build/windows/bin/Tidemoor.exe "$tool_dir/"
source scripts/wine-env.sh

if [ -n "${DISPLAY:-}" ]; then
  cd "$tool_dir" && exec wine Tidemoor.exe
fi

source scripts/xvfb.sh
trap 'wineserver -k >/dev/null 2>&1 || true; kill "$xvfb_pid" 2>/dev/null || true' EXIT
(cd "$tool_dir" && wine Tidemoor.exe &)
bash scripts/screenshot.sh "Tidemoor (Ver" "$tool_dir/screenshot.png"
echo "Tidemoor ran headless; its window is in $tool_dir/screenshot.png"
