// The skin parser on arbitrary bytes: it must not read outside them, and what it accepts
// must be within the format's bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "skinlib/SkinFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    skinlib::Skin skin;
    std::memset(&skin, 0xA5, sizeof skin);
    if (skinlib::ParseSkin(data, size, skin) != skinlib::SkinError::None) return 0;
    const std::size_t nameLength = strnlen(skin.name, sizeof skin.name);
    if (nameLength == 0 || nameLength > 64 || skin.borderWidth < 1 || skin.borderWidth > 8 || skin.cornerRadius < 0 ||
        skin.cornerRadius > 16)
        std::abort();
    for (const std::uint32_t colour : skin.colours)
        if (colour > 0xFFFFFFu) std::abort();
    return 0;
}
