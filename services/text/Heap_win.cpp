#include "services/text/Heap.h"

#include <windows.h>

namespace services {

void* HeapTryAllocate(std::size_t size) noexcept { return HeapAlloc(GetProcessHeap(), 0, size ? size : 1); }

void HeapRelease(void* block) noexcept {
    if (block) HeapFree(GetProcessHeap(), 0, block);
}

}  // namespace services
