#pragma once

#include <string>

namespace tidemoor {

// What an HTTP request brought back. A status of 0 means no answer at all (no connection, a
// time-out, a broken transfer).
struct HttpAnswer {
  int status = 0;
  std::string body;
};

}  // namespace tidemoor
