#!/usr/bin/env bash
# Counts the message loops that run inside an event handler: every call that pumps or waits for
# window messages anywhere in the source tree, apart from the one GetMessageW loop that owns the
# thread's messages (the tests keep a pumping wait of their own, outside the tree). A modal box
# that asks the user something (a message box, the text input dialog) is the user answering, not
# a wait, and is not counted. A handler that
# pumps lets other handlers run in the middle of it, which is where re-entrancy faults come from.
#   count-nested-loops.sh [--expect N] [source tree]   (the tree defaults to src/)
# Prints the count and every place; with --expect, fails when the count is above N.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
expect=
if [ "${1:-}" = "--expect" ]; then
  expect=$2
  shift 2
fi
tree=${1:-$root/src}

pumping='(PumpUntil|DispatchWaitingMessages|PeekMessage[AW]?|GetMessage[AW]?|MsgWaitForMultipleObjects(Ex)?|WaitMessage)[[:space:]]*\(|MessageBreaks[[:space:]]+[A-Za-z_]'
owner_loop='while[[:space:]]*\([[:space:]]*(::)?GetMessageW[[:space:]]*\('

# Line comments are dropped before matching, so a comment that names a primitive is not a call.
places=$(cd "$tree" && find . -type f \( -name '*.cpp' -o -name '*.h' \) |
  sort | sed 's|^\./||' | while read -r file; do
    sed 's|//.*||' "$file" | grep -nE "$pumping" | sed "s|^|$file:|" || true
  done)

# The owner is the first GetMessageW loop under app/; any other loop is nested in something.
owner=$(printf '%s\n' "$places" | grep -E "^app/[^:]*:[0-9]+:.*$owner_loop" | head -n1 || true)
count=0
while IFS= read -r place; do
  [ -n "$place" ] || continue
  [ "$place" = "$owner" ] && continue
  count=$((count + 1))
  echo "  $place"
done <<<"$places"
echo "nested message loops outside the message-loop owner: $count"
if [ -n "$expect" ] && [ "$count" -gt "$expect" ]; then
  echo "(more than $expect)"
  exit 1
fi
