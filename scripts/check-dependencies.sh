#!/usr/bin/env bash
# Fails when a source file includes a layer it must not depend on. Dependencies point down:
#   app -> hosting -> the areas (install, server, backup, worldsettings, net, mods, remote) -> common ->
#   platform.
# platform includes only platform (and the system); common only common and platform; an area only
# itself, common and platform, never a peer area, hosting or app; hosting the areas and below,
# never app. The app wires areas together; hosting holds the reactions around the running server.
# The build enforces the same rule (each layer's library sees only the headers beneath it); this
# is the quick check that names every offending line at once, before anything compiles. It also
# catches what the compiler cannot: a class of a forbidden layer declared by hand instead of
# included.
# Usage: check-dependencies.sh [source folder, src/ of this checkout unless given]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "${1:-$root/src}"

layers=" platform common install server backup worldsettings net mods remote hosting app "
allowed() {
  case "$1" in
    platform) echo "platform" ;;
    common) echo "common platform" ;;
    install | server | backup | worldsettings | net | mods | remote) echo "$1 common platform" ;;
    hosting) echo "hosting install server backup worldsettings net mods remote common platform" ;;
    app) echo "app hosting install server backup worldsettings net mods remote common platform" ;;
    *) echo "" ;;
  esac
}

# Class and struct names each layer defines in its headers, as "layer name" lines.
defined_types=$(for layer in */; do
  layer=${layer%/}
  grep -hoE '^[[:space:]]*(class|struct)[[:space:]]+[A-Za-z_][A-Za-z0-9_]*([[:space:]]+final)?[[:space:]]*[:{]' \
    "$layer"/*.h 2>/dev/null | sed -E "s/^[[:space:]]*(class|struct)[[:space:]]+([A-Za-z0-9_]+).*/$layer \2/" || true
done | sort -u)

# Any spelling the preprocessor accepts: indented, blanks after the #, quotes or angle brackets.
include_pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][^/">]+/'
declaration_pattern='(^|[^A-Za-z0-9_])(class|struct)[[:space:]]+[A-Za-z_][A-Za-z0-9_]*[[:space:]]*;'

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
    target=$(sed -E 's/^[^:]*:[0-9]+:[[:space:]]*#[[:space:]]*include[[:space:]]*["<]([^/">]+)\/.*/\1/' <<<"$hit")
    angle=$(grep -c '#[[:space:]]*include[[:space:]]*<' <<<"$hit" || true)
    # <nlohmann/json.hpp> and the like are the system's; only a project folder in <> counts.
    if [ "$angle" -gt 0 ] && [[ "$layers" != *" $target "* ]]; then
      continue
    fi
    if [[ "$permitted" != *" $target "* ]]; then
      echo "dependency check: src/$file includes $target/ (${layer} may include:${permitted% })"
      failures=$((failures + 1))
    fi
  done < <(grep -rHn -E "$include_pattern" "$layer" || true)
  while IFS= read -r hit; do
    file=${hit%%:*}
    name=$(grep -oE "$declaration_pattern" <<<"${hit#*:*:}" | head -n1 |
      sed -E 's/.*(class|struct)[[:space:]]+([A-Za-z0-9_]+).*/\2/')
    owners=$(awk -v n="$name" '$2 == n { print $1 }' <<<"$defined_types")
    [ -n "$owners" ] || continue
    usable=0
    for owner in $owners; do
      [[ "$permitted" == *" $owner "* ]] && usable=1
    done
    if [ "$usable" -eq 0 ]; then
      echo "dependency check: src/$file declares $name of $(echo $owners | tr ' ' '/')/" \
        "(${layer} may use:${permitted% })"
      failures=$((failures + 1))
    fi
  done < <(grep -rHn -E "$declaration_pattern" "$layer" || true)
done

if [ "$failures" -gt 0 ]; then
  echo "dependency check: $failures forbidden include(s) or declaration(s)"
  exit 1
fi
echo "dependency check: every include points down"
