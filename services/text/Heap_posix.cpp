#include "services/text/Heap.h"

#include <cstdlib>

namespace services {

void* HeapTryAllocate(std::size_t size) noexcept { return std::malloc(size ? size : 1); }

void HeapRelease(void* block) noexcept { std::free(block); }

}  // namespace services
