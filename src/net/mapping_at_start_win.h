#pragma once
// 开服时自动映射端口 on Win32: the mapping at each server start and its removal at each stop, each
// a router conversation on a worker of its own, its lines handed to the event log. Jobs run in the
// order given, so a removal never overtakes the mapping of the same run.

#include <functional>
#include <memory>
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
  // Removes the mappings that lead to this PC, after a Map since the last removal only; where that
  // Map found no router, the one line it wrote is all the event log gets.
  void Remove();
  // As the tool closes: results not yet handed back are dropped.
  void Cancel() { worker_.reset(); }

 private:
  SearchTarget search_;
  Record record_;
  struct Mapped {
    std::vector<unsigned short> ports;
    // Set by the mapping's job, read by the removal's: jobs run one after another on one thread.
    std::shared_ptr<bool> routerFound = std::make_shared<bool>(false);
  };
  std::optional<Mapped> mapped_;
  std::optional<Worker> worker_{std::in_place};
};

}  // namespace tidemoor
