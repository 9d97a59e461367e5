// Shared state of the pay rules, alive for as long as the program runs.
#pragma once

#include <cstdint>

namespace soranika::Module1 {

// 1 while the weekly schedule drives the calculation, 0 otherwise; only the
// value 1 selects detail mode.
inline std::int16_t DetailMode = 0;

// The weekly hour total of the last confirmation of the weekly schedule.
inline std::int16_t WeeklyHours = 0;

// Back to the state at program start.
inline void Reset() {
    DetailMode = 0;
    WeeklyHours = 0;
}

} // namespace soranika::Module1
