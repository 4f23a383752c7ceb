#include "services/foreign/Foreign.h"

#include <windows.h>

#include <array>
#include <bit>

#include "Texts.h"
#include "services/files/Files.h"
#include "services/text/Fatal.h"
#include "services/text/Text.h"

#if defined(__i386__)
#include "services/foreign/CheckedCall.h"
#endif

namespace services {
namespace {

struct Entry {
    FARPROC address = nullptr;
    HMODULE module = nullptr;
};

constexpr std::size_t kMaxEntries = 8;
std::span<const ForeignFunction> gTable;
std::array<Entry, kMaxEntries> gEntries;

[[noreturn]] void NotFound(const ForeignFunction& function) noexcept {
    const char* names[] = {function.library, function.exportName};
    FixedText message;
    message.AppendFormat(text::kForeignNotFound, names, 2);
    RaiseFatal(0, message.c_str());
}

FARPROC Resolve(std::size_t index) noexcept {
    Entry& entry = gEntries[index];
    if (entry.address) return entry.address;
    const ForeignFunction& function = gTable[index];
    // Our own copy beside the program first; the system's search only when there is none.
    HMODULE module = LoadLibraryA(ConcatText(GetRunDirectory(), "\\", function.library).c_str());
    if (!module) module = LoadLibraryA(function.library);
    FARPROC address = module ? GetProcAddress(module, function.exportName) : nullptr;
    if (!address) {
        if (module) FreeLibrary(module);
        NotFound(function);
    }
    entry = {address, module};
    return address;
}

}  // namespace

void LoadForeignTable(std::span<const ForeignFunction> table) noexcept {
    ReleaseForeignLibraries();
    gTable = table.first(std::min(table.size(), kMaxEntries));
}

std::int32_t CallForeignFunction(std::size_t entry, std::initializer_list<std::uintptr_t> args) noexcept {
    if (entry >= gTable.size()) RaiseFatal(0, nullptr);  // a table fixed at build time: a caller's slip
    const FARPROC address = Resolve(entry);
#if defined(__i386__)
    std::array<std::uint32_t, 16> words{};
    std::uint32_t count = 0;
    for (const std::uintptr_t arg : args) {
        if (count == words.size()) break;
        words[count++] = static_cast<std::uint32_t>(arg);
    }
    std::int32_t delta = 0;
    const auto result = ForeignCallChecked(reinterpret_cast<const void*>(address), words.data(), count, &delta);
    if (delta != 0) RaiseFatal(6, text::kForeignStackError);
    return static_cast<std::int32_t>(result);
#else
    // x86-64 Windows has one calling convention, and the caller owns the stack: an ordinary
    // typed call cannot leave it unbalanced, so there is nothing to check.
    using W = std::uintptr_t;
    const W* a = args.begin();
    const auto n = args.size();
    W w[6] = {};
    for (std::size_t i = 0; i < n && i < 6; ++i) w[i] = a[i];
    switch (n) {
        case 0: return static_cast<std::int32_t>(std::bit_cast<W (*)()>(address)());
        case 1: return static_cast<std::int32_t>(std::bit_cast<W (*)(W)>(address)(w[0]));
        case 2: return static_cast<std::int32_t>(std::bit_cast<W (*)(W, W)>(address)(w[0], w[1]));
        case 3: return static_cast<std::int32_t>(std::bit_cast<W (*)(W, W, W)>(address)(w[0], w[1], w[2]));
        case 4: return static_cast<std::int32_t>(std::bit_cast<W (*)(W, W, W, W)>(address)(w[0], w[1], w[2], w[3]));
        case 5:
            return static_cast<std::int32_t>(
                std::bit_cast<W (*)(W, W, W, W, W)>(address)(w[0], w[1], w[2], w[3], w[4]));
        default:
            return static_cast<std::int32_t>(
                std::bit_cast<W (*)(W, W, W, W, W, W)>(address)(w[0], w[1], w[2], w[3], w[4], w[5]));
    }
#endif
}

void ReleaseForeignLibraries() noexcept {
    for (Entry& entry : gEntries) {
        if (entry.module) FreeLibrary(entry.module);
        entry = {};
    }
    gTable = {};
}

}  // namespace services
