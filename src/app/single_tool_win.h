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

// The main window of the tool that holds this executable's directory, restored when minimised and
// brought to the front. When none shows within a few seconds (it runs in another user's session,
// or is just going away), the user is told that the folder's tool already runs.
void BringHoldingToolForward(Prompt& prompt);

}  // namespace tidemoor
