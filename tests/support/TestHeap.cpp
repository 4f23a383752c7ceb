#include "tests/support/TestHeap.h"

#include <cstdlib>

#include "services/text/Heap.h"

namespace testheap {
namespace {
Stats gStats;
bool gRefuseNext = false;
}  // namespace

Stats& Current() noexcept { return gStats; }
void Reset() noexcept {
    gStats.allocations = 0;
    gStats.lastSize = 0;
}
void RefuseNext() noexcept { gRefuseNext = true; }

}  // namespace testheap

namespace services {

void* HeapTryAllocate(std::size_t size) noexcept {
    if (testheap::gRefuseNext) {
        testheap::gRefuseNext = false;
        return nullptr;
    }
    ++testheap::gStats.allocations;
    ++testheap::gStats.live;
    testheap::gStats.lastSize = size;
    return std::malloc(size ? size : 1);
}

void HeapRelease(void* block) noexcept {
    if (!block) return;
    --testheap::gStats.live;
    std::free(block);
}

}  // namespace services
