#pragma once
// 开服时自动映射端口 on Win32: the mapping at each server start and its removal at each stop, each
// a router conversation on a worker of its own, its lines handed to the event log. Jobs run in the
// order given, so a removal never overtakes the mapping of the same run.

#include <functional>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "net/gateway_socket_win.h"
#include "platform/worker_win.h"

namespace tidemoor {

class MappingAtStart {
 public:
  using Record = std::function<void(std::string_view line)>;
  MappingAtStart(SearchTarget search, Record record)
      : search_(std::move(search)), record_(std::move(record)) {}

  // Maps the game and query ports (UDP) to this PC, except where another PC holds one; the ports
  // are kept for the removal, whatever the settings say by then.
  void Map(unsigned short game, unsigned short query);
  // Removes the mappings that lead to this PC, after a Map since the last removal only.
  void Remove();
  // As the tool closes: results not yet handed back are dropped.
  void Cancel() { worker_.reset(); }

 private:
  SearchTarget search_;
  Record record_;
  std::optional<std::vector<unsigned short>> mapped_;
  std::optional<Worker> worker_{std::in_place};
};

}  // namespace tidemoor
