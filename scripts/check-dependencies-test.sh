#!/usr/bin/env bash
# The dependency check against small source trees: one that keeps the rule, then one per way of
# breaking it that the check must see through.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A tree that keeps the rule; each case below adds one file to a copy of it.
base=$work/base
mkdir -p "$base"/{platform,common,server,backup,mods,hosting,app}
printf 'class ServerController {\n};\n' >"$base/server/server_controller.h"
printf 'struct BackupPoint final {\n};\n' >"$base/backup/backup_store.h"
printf '#include "platform/text.h"\n' >"$base/common/paths.h"
printf '#include <nlohmann/json.hpp>\n#include "common/paths.h"\nstruct BackupPoint;\n' \
  >"$base/backup/point_maker.h"
printf '#include "server/server_controller.h"\nclass ServerController;\n' >"$base/app/wiring.h"
printf 'struct ModInfo {\n};\n' >"$base/mods/mod_info.h"

# expected result | file added | its contents
cases=(
  'pass|backup/empty.cpp|'
  'fail|backup/angle.cpp|#include <server/server_controller.h>'
  'fail|backup/blank.cpp|# include "server/server_controller.h"'
  'fail|backup/indented.cpp|  #include "server/server_controller.h"'
  'fail|server/declared.h|namespace tidemoor { struct BackupPoint; }'
  'fail|common/upward.h|class ServerController;'
  'pass|hosting/reaction.h|#include "server/server_controller.h"'
  'fail|server/sideways.h|#include "hosting/reaction.h"'
  'fail|hosting/upward.h|#include "app/wiring.h"'
  'pass|mods/own.cpp|#include "mods/mod_info.h"'
  'fail|mods/sideways.cpp|#include "backup/backup_store.h"'
  'fail|server/mods.h|#include "mods/mod_info.h"'
  'pass|hosting/mods.h|#include "mods/mod_info.h"'
)
failures=0
for entry in "${cases[@]}"; do
  IFS='|' read -r expected file contents <<<"$entry"
  tree=$work/${file//\//_}
  cp -r "$base" "$tree"
  printf '%s\n' "$contents" >"$tree/$file"
  if bash "$root/scripts/check-dependencies.sh" "$tree" >"$work/out" 2>&1; then
    actual=pass
  else
    actual=fail
  fi
  if [ "$actual" != "$expected" ]; then
    echo "dependency check test: $file ($contents) should $expected, did $actual:"
    cat "$work/out"
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] || exit 1
echo "dependency check test: ${#cases[@]} trees judged right"
