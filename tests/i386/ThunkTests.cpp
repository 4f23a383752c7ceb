// The checked 32-bit call, built for 32-bit Linux from the same assembly as the Windows
// program and run under qemu-i386: these machines cannot run 32-bit Windows code.
#include <cstdint>
#include <cstdio>

#include "services/foreign/CheckedCall.h"

extern "C" {
std::uint32_t gSeen[6];
int gCalls;

// Removes exactly its six words, as every foreign function must.
__attribute__((stdcall)) std::uint32_t Balanced(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                                                std::uint32_t e, std::uint32_t f) {
    const std::uint32_t args[] = {a, b, c, d, e, f};
    for (int i = 0; i < 6; ++i) gSeen[i] = args[i];
    ++gCalls;
    return 0x1234u;
}

// Leaves its arguments for the caller, as a cdecl function does.
std::uint32_t LeavesThem(std::uint32_t a, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {
    gSeen[0] = a;
    ++gCalls;
    return 7;
}

std::uint32_t Removes20();
std::uint32_t Removes28();
}

// Hand-written callees that take one word too few and one too many.
asm(R"(
    .text
    .globl Removes20
Removes20:
    movl 4(%esp), %eax
    movl %eax, gSeen
    incl gCalls
    movl $20, %eax
    ret $20
    .globl Removes28
Removes28:
    movl 4(%esp), %eax
    movl %eax, gSeen
    incl gCalls
    movl $28, %eax
    ret $28
)");

namespace {

int gPassed = 0;
int gFailed = 0;

void Check(bool ok, const char* what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
    ++(ok ? gPassed : gFailed);
}

struct Case {
    const char* what;
    const void* function;
    std::uint32_t result;
    std::int32_t delta;
};

}  // namespace

int main() {
    const std::uint32_t args[6] = {0x11111111u, 0x22222222u, 0xFFFFFFFFu, 0u, 0x80000000u, 0x5C5C5C5Cu};
    const Case cases[] = {
        {"stdcall removing its 24 bytes returns normally", reinterpret_cast<const void*>(&Balanced), 0x1234u, 0},
        {"cdecl removing nothing is detected", reinterpret_cast<const void*>(&LeavesThem), 7u, 24},
        {"removing 20 bytes is detected", reinterpret_cast<const void*>(&Removes20), 20u, 4},
        {"removing 28 bytes is detected", reinterpret_cast<const void*>(&Removes28), 28u, -4},
    };
    for (const Case& c : cases) {
        gCalls = 0;
        gSeen[0] = 0;
        std::int32_t delta = 99;
        const std::uint32_t result = ForeignCallChecked(c.function, args, 6, &delta);
        Check(result == c.result && gCalls == 1 && gSeen[0] == args[0], c.what);  // the work was done
        Check(delta == c.delta, "  ... with the stack difference reported");
    }
    std::int32_t delta = 0;
    for (std::uint32_t& seen : gSeen) seen = 0;
    ForeignCallChecked(reinterpret_cast<const void*>(&Balanced), args, 6, &delta);
    bool inOrder = true;
    for (int i = 0; i < 6; ++i) inOrder = inOrder && gSeen[i] == args[i];
    Check(inOrder, "arguments arrive first to last, unchanged");
    std::printf("%d passed, %d failed\n", gPassed, gFailed);
    return gFailed ? 1 : 0;
}
