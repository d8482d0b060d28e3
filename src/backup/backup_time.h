#pragma once
// The two date-time texts of a backup point: the one stored in its index file and the one shown
// in the backup list, and the stamp that names the point's directory.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/date_time.h"

namespace tidemoor {

// Ten characters: the seconds from the local 1970-01-01 08:00:00 to the moment (the Unix time on
// a machine set to UTC+8), followed by the milliseconds when the count has fewer digits.
std::string MakeBackupStamp(const LocalDateTime& now);

// Seconds from the local 1970-01-01 00:00:00 to the moment, to compare and subtract moments of
// the local clock.
int64_t LocalSeconds(const LocalDateTime& time);

// The stamp after this one, for a point whose own stamp is taken already.
std::string NextBackupStamp(std::string_view stamp);

// The index form: 2024年1月23日13时5分9秒, shortened when the last parts of the time are 0.
std::string DateTimeToText(const LocalDateTime& time);

// Reads the index form and hand-edited ones such as 2024-1-23 13:05:09 (full-width forms taken
// as ASCII). Nothing when the parts are not a real calendar date and time of day.
std::optional<LocalDateTime> TextToDateTime(std::string_view text);

}  // namespace tidemoor
