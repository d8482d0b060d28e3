#pragma once
// One tool per tool directory, on Windows: a named mutex held for the process's life, and the
// first tool's window brought forward by the second.

#include <optional>

#include "platform/prompt.h"
#include "platform/unique_handle_win.h"

namespace tidemoor {

// Claims this executable's directory for this process. nullopt when another tool holds it; an
// empty handle when the claim could not be made at all (the tool then runs unguarded rather than
// not at all).
std::optional<UniqueHandle> ClaimToolDirectory();

// For a start that found the directory claimed. The main window of the tool that holds it is
// restored when minimised and brought to the front. While that tool shows no window (its window
// just closed and it is ending, or it is still starting), it is waited for: when it ends, the
// claim is this start's and comes back, and the tool starts as usual. Otherwise the user is told
// why nothing opens: that tool runs in another session, or it neither ended nor showed a window
// within the wait.
std::optional<UniqueHandle> WaitForHoldingTool(Prompt& prompt);

}  // namespace tidemoor
