#pragma once
#include <cstddef>

// The raw heap under the text values. The program links the platform's heap; tests
// link a heap that counts and can refuse, to see allocation sizes and failures.
namespace services {

void* HeapTryAllocate(std::size_t size) noexcept;  // nullptr when refused
void HeapRelease(void* block) noexcept;            // nullptr is ignored

}  // namespace services
