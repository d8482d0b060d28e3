#pragma once
// Minutes typed into the main window's edit boxes as a timer's period.

#include <string_view>

namespace tidemoor {

// The largest number of minutes whose milliseconds a timer takes (2,147,483,647 ms).
inline constexpr int kLargestTimerMinutes = 35791;

// The timer's period for the minutes typed: the leading whole number (full-width digits allowed).
// 0, no number or a negative number give 0, which stops the timer; more than the largest count a
// timer takes counts as that.
unsigned TimerPeriodForMinutes(std::string_view minutesText);

}  // namespace tidemoor
