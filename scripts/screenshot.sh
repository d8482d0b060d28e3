#!/usr/bin/env bash
# screenshot.sh TITLE-PREFIX OUT.png: waits for a window whose title starts with the prefix on
# $DISPLAY and writes a PNG of it.
set -euo pipefail
prefix=$1
out=$2
for _ in $(seq 1 200); do
  id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$prefix" | head -n 1 | awk '{print $1}') || true
  [ -n "${id:-}" ] && break
  sleep 0.1
done
[ -n "${id:-}" ] || { echo "screenshot: no window titled '$prefix...'" >&2; exit 1; }
sleep 1  # let the window finish painting
import -window "$id" "$out"
