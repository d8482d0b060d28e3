#!/usr/bin/env bash
# Fails when a source file includes a layer it must not depend on. Dependencies point down:
#   app -> the areas (install, server, backup, worldsettings, net) -> common -> platform.
# platform includes only platform (and the system); common only common and platform; an area only
# itself, common and platform, never a peer area and never app. The app wires areas together.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root/src"

allowed() {
  case "$1" in
    platform) echo "platform" ;;
    common) echo "common platform" ;;
    install | server | backup | worldsettings | net) echo "$1 common platform" ;;
    app) echo "app install server backup worldsettings net common platform" ;;
    *) echo "" ;;
  esac
}

failures=0
for layer in */; do
  layer=${layer%/}
  permitted=" $(allowed "$layer") "
  if [ "$permitted" = "  " ]; then
    echo "dependency check: unknown folder src/$layer (add it to scripts/check-dependencies.sh)"
    failures=$((failures + 1))
    continue
  fi
  while IFS= read -r hit; do
    file=${hit%%:*}
    target=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"$hit")
    if [[ "$permitted" != *" $target "* ]]; then
      echo "dependency check: src/$file includes $target/ (${layer} may include:${permitted% })"
      failures=$((failures + 1))
    fi
  done < <(grep -rHn -E '^#include "[^/"]+/' "$layer" || true)
done

if [ "$failures" -gt 0 ]; then
  echo "dependency check: $failures forbidden include(s)"
  exit 1
fi
echo "dependency check: every include points down"
