#pragma once
// The router mapping the tool makes by itself while the server runs (开服时自动映射端口): what the
// event log is told after the mapping at a start and the removal at a stop. Nobody watches the
// window at an unattended restart, so every port gets a line saying what became of it.

#include <string>
#include <vector>

#include "net/router_check.h"

namespace tidemoor {

inline constexpr char kMapAtStartPrefix[] = "开服自动映射端口: ";
inline constexpr char kRemoveAtStopPrefix[] = "关服删除端口映射: ";

// findings: the router as it was before mapping; changes: the mapping calls' own lines.
std::vector<std::string> MappingAtStartLines(const RouterFindings& findings,
                                             const std::vector<std::string>& changes);

// findings: the router as it was before removing; changes: the removal calls' own lines.
std::vector<std::string> RemovalAtStopLines(const RouterFindings& findings,
                                            const std::vector<std::string>& changes);

}  // namespace tidemoor
