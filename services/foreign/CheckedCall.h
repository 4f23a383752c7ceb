#pragma once
#include <cstdint>

// The 32-bit x86 call with a stack check: notes ESP before the first argument is pushed,
// pushes the arguments last to first as 32-bit words, calls, and reports how far ESP is from
// where it was (0 when the callee removed exactly its arguments). ESP is restored either way.
// Built for 32-bit Windows and, for its tests, for 32-bit Linux.
extern "C" std::uint32_t ForeignCallChecked(const void* function, const std::uint32_t* args, std::uint32_t count,
                                            std::int32_t* stackDelta);
