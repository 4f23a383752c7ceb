#pragma once
#include <cstddef>

// A heap for tests, linked in place of the platform's: it counts and can refuse.
namespace testheap {

struct Stats {
    int allocations = 0;     // blocks handed out since Reset
    int live = 0;            // blocks handed out and not yet released
    std::size_t lastSize = 0;
};

Stats& Current() noexcept;
void Reset() noexcept;
// The next allocation fails (once).
void RefuseNext() noexcept;

}  // namespace testheap
