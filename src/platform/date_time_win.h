#pragma once
// The local clock, as the status line and the backup list show it.

#include <windows.h>

#include <string>

#include "platform/date_time.h"

namespace tidemoor {

// The local clock now, with its milliseconds.
LocalDateTime LocalNow();

// Now, as the status line shows it.
std::string LocalDateTimeText();

// A moment given in seconds since 1970 (UTC), on the local clock.
LocalDateTime LocalTimeOf(int64_t secondsSince1970);

}  // namespace tidemoor
