#!/usr/bin/env bash
# Makes the user guide's pictures again (docs/*.png): set-up, build, then a first start from an
# empty folder under Wine in a private Xvfb, with the fixture SteamCMD, server and router, every
# window opened in turn. Run it after changing a window.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh
bash scripts/build.sh windows

source scripts/wine-env.sh
TIDEMOOR_OWN_DISPLAY=1 source scripts/xvfb.sh
shots=$(mktemp -d)
trap 'wineserver -k >/dev/null 2>&1 || true; kill "$xvfb_pid" 2>/dev/null || true; rm -rf "$shots"' EXIT
TIDEMOOR_SCREENSHOTS=$(winepath -w "$shots") wine build/windows/bin/window_screenshots.exe \
  --gtest_color=no
# The event log as the host sees it: in Notepad.
(cd "$shots" && wine notepad.exe Tidemoor.log &)
bash scripts/screenshot.sh "Tidemoor.log" "$shots/event-log.png"
convert "$shots/event-log.png" -strip docs/event-log.png
echo docs/event-log.png
for picture in "$shots"/*.bmp; do
  name=$(basename "$picture" .bmp)
  convert "$picture" -strip "docs/$name.png"
  echo "docs/$name.png"
done
