#include "skinlib/SkinFormat.h"

namespace skinlib {
namespace {

constexpr unsigned char kMagic[4] = {'.', 'S', 'H', 'E'};
constexpr std::size_t kHeaderBytes = 16;
constexpr std::size_t kMaxFields = 64;
constexpr std::size_t kMaxName = 64;
constexpr std::size_t kMaxColours = 64;

enum Tag : unsigned { kTagName = 1, kTagColours = 2, kTagMetrics = 3 };

unsigned Word16(const unsigned char* p) noexcept { return p[0] | static_cast<unsigned>(p[1]) << 8; }

std::uint32_t Word32(const unsigned char* p) noexcept {
    return p[0] | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]) << 16 |
           static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

SkinError ParseSkin(const unsigned char* data, std::size_t size, Skin& out) noexcept {
    if (!data || size == 0) return SkinError::NoData;
    if (size < sizeof kMagic) return SkinError::NotASkin;
    for (std::size_t i = 0; i < sizeof kMagic; ++i)
        if (data[i] != kMagic[i]) return SkinError::NotASkin;
    if (size < kHeaderBytes) return SkinError::Length;
    if (Word16(data + 4) != 1) return SkinError::Version;
    const std::uint32_t total = Word32(data + 8);
    const std::size_t headerBytes = Word16(data + 12);
    const std::size_t fields = Word16(data + 14);
    if (total != size || headerBytes < kHeaderBytes || headerBytes > size) return SkinError::Length;
    if (fields > kMaxFields) return SkinError::Field;

    Skin skin = {};
    bool seenName = false, seenColours = false, seenMetrics = false;
    std::size_t at = headerBytes;
    for (std::size_t i = 0; i < fields; ++i) {
        if (size - at < 4) return SkinError::Length;
        const unsigned tag = Word16(data + at);
        const std::size_t length = Word16(data + at + 2);
        at += 4;
        if (length > size - at) return SkinError::Length;
        const unsigned char* payload = data + at;
        at += length;
        switch (tag) {
            case kTagName:
                if (seenName) return SkinError::Missing;
                if (length == 0 || length > kMaxName) return SkinError::Field;
                for (std::size_t k = 0; k < length; ++k) {
                    if (payload[k] < 0x20 || payload[k] > 0x7E) return SkinError::Field;
                    skin.name[k] = static_cast<char>(payload[k]);
                }
                seenName = true;
                break;
            case kTagColours:
                if (seenColours) return SkinError::Missing;
                if (length % 4 != 0 || length / 4 < kColourCount || length / 4 > kMaxColours) return SkinError::Field;
                for (int k = 0; k < kColourCount; ++k) {  // later colours belong to newer minors
                    const unsigned char* c = payload + 4 * k;
                    if (c[3] != 0) return SkinError::Field;
                    skin.colours[k] = c[0] | static_cast<std::uint32_t>(c[1]) << 8 | static_cast<std::uint32_t>(c[2]) << 16;
                }
                seenColours = true;
                break;
            case kTagMetrics:
                if (seenMetrics) return SkinError::Missing;
                if (length < 2 || payload[0] < 1 || payload[0] > 8 || payload[1] > 16) return SkinError::Field;
                skin.borderWidth = payload[0];
                skin.cornerRadius = payload[1];
                seenMetrics = true;
                break;
            default:
                break;  // a newer skin's tag: skipped
        }
    }
    if (at != size) return SkinError::Length;
    if (!seenName || !seenColours || !seenMetrics) return SkinError::Missing;
    out = skin;
    return SkinError::None;
}

}  // namespace skinlib
