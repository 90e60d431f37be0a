// Deadlines on the 32-bit millisecond tick counter, which wraps after 49.7
// days and changes sign after 24.9.
#pragma once

#include <cstdint>

namespace kb::tools {

// True while `now` has not yet passed `deadline`.  The difference is taken
// first and only then read as signed: comparing the two raw values as signed
// numbers would, for a deadline just below 2^31 and a counter that has just
// crossed it, keep a 500-ms slice running for almost 25 days.
constexpr bool DeadlineNotPassed(uint32_t deadline, uint32_t now) {
  return static_cast<int32_t>(deadline - now) >= 0;
}

}  // namespace kb::tools
