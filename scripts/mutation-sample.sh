#!/usr/bin/env bash
# How many faults the native tests catch: applies each hand-picked mutant of scripts/mutants.txt
# (one a line: "file @@ text @@ replacement", the first place of the text replaced), rebuilds the
# native test program of the file's area, runs it and puts the file back. A mutant is killed when
# the tests fail; one that does not compile, or whose text is not in the file, is left out of the
# rate. A developer's measuring tool, not run by CI; it uses build/native.
#
#   scripts/mutation-sample.sh [mutant list]   # prints one line per mutant, then the kill rate
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
list=$(realpath "${1:-scripts/mutants.txt}")
[ -f build/native/CMakeCache.txt ] || cmake --preset native >/dev/null

original=$(mktemp)
current=""
restore() {
  if [ -n "$current" ]; then cp "$original" "$current"; fi
  current=""
}
trap 'restore; rm -f "$original"' EXIT

killed=0 survived=0 left_out=0 number=0
while IFS= read -r line; do
  case $line in '' | '#'*) continue ;; esac
  number=$((number + 1))
  # An empty replacement: the line ends in "@@".
  [[ $line == *' @@' ]] && line+=' '
  file=${line%% @@ *}
  rest=${line#* @@ }
  text=${rest%% @@ *}
  replacement=${rest#* @@ }
  area=$(cut -d/ -f2 <<<"$file")
  cp "$file" "$original"
  current=$file
  if ! TEXT=$text REPLACEMENT=$replacement perl -0pi -e \
    '$found = s/\Q$ENV{TEXT}\E/$ENV{REPLACEMENT}/; END { exit($found ? 0 : 1) }' "$file"; then
    verdict="not found"
    left_out=$((left_out + 1))
  elif ! cmake --build build/native --target "${area}_tests" -j"$(nproc)" >/dev/null 2>&1; then
    verdict="does not compile"
    left_out=$((left_out + 1))
  elif (timeout 300 "build/native/tests/${area}_tests" || exit 1) >/dev/null 2>&1; then
    verdict="SURVIVED"
    survived=$((survived + 1))
  else
    verdict="killed"
    killed=$((killed + 1))
  fi
  restore
  printf '%3d %-16s %s: %s\n' "$number" "$verdict" "$file" "$text"
done <"$list"

# The last mutant's object files are built again from the files as they are.
cmake --build build/native -j"$(nproc)" >/dev/null 2>&1 || true
counted=$((killed + survived))
echo "killed $killed of $counted ($((counted ? killed * 100 / counted : 0)) %), left out $left_out"
