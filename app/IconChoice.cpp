#include "app/IconChoice.h"

namespace app {
namespace {

constexpr std::size_t kHeaderBytes = 6;
constexpr std::size_t kEntryBytes = 14;  // width, height, colours, reserved, planes, bits, bytes, id

unsigned Word(const unsigned char* p) noexcept { return p[0] | static_cast<unsigned>(p[1]) << 8; }

}  // namespace

std::optional<std::uint16_t> ChooseIconImage(const unsigned char* group, std::size_t size, int side) noexcept {
    if (!group || size < kHeaderBytes) return std::nullopt;
    const std::size_t count = Word(group + 4);
    if (count == 0 || size < kHeaderBytes + count * kEntryBytes) return std::nullopt;
    const unsigned char* entries = group + kHeaderBytes;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* entry = entries + i * kEntryBytes;
        const int width = entry[0] ? entry[0] : 256;
        const int height = entry[1] ? entry[1] : 256;
        if (width == side && height == side && entry[2] >= 16) return static_cast<std::uint16_t>(Word(entry + 12));
    }
    return static_cast<std::uint16_t>(Word(entries + (count - 1) * kEntryBytes + 12));
}

}  // namespace app
