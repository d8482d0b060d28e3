#!/usr/bin/env bash
# The nested message loop counter against small source trees: the message-loop owner alone counts
# nothing, and each case adds one file that must count as it says.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

base=$work/base
mkdir -p "$base"/{platform,app,server,backup}
printf 'int Run() {\n  MSG message;\n  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {\n  }\n}\n' \
  >"$base/app/application_win.cpp"
printf 'void Run(std::function<void()> work);\n' >"$base/platform/worker_win.h"

# expected count | file added | its contents
cases=(
  '0|server/quiet.cpp|void Stop() { worker.Post(); }'
  '0|server/comment.cpp|// no PumpUntil(done, limit) here any more'
  '1|server/stop.cpp|  return PumpUntil([this] { return stopped; }, limit);'
  '1|app/close_wait.cpp|  PumpUntil([&] { return !busy; }, std::chrono::hours(24));'
  '1|backup/listing.cpp|  MessageBreaks breaks;'
  '1|server/modal.cpp|  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {}'
  '2|app/both.cpp|::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);\nDispatchWaitingMessages();'
  '1|platform/more.cpp|  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {}'
)
failures=0
for entry in "${cases[@]}"; do
  IFS='|' read -r expected file contents <<<"$entry"
  tree=$work/${file//\//_}
  cp -r "$base" "$tree"
  printf "$contents\n" >"$tree/$file"
  bash "$root/scripts/count-nested-loops.sh" "$tree" >"$work/out"
  actual=$(sed -n 's/^nested message loops outside the message-loop owner: //p' "$work/out")
  fails=0
  bash "$root/scripts/count-nested-loops.sh" --expect 0 "$tree" >/dev/null || fails=1
  if [ "$actual" != "$expected" ] || [ "$fails" != "$((expected > 0))" ]; then
    echo "nested loop count test: $file should count $expected, counted $actual (--expect 0 failed: $fails):"
    cat "$work/out"
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] || exit 1
echo "nested loop count test: ${#cases[@]} trees counted right"
