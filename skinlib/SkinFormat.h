#pragma once
#include <cstddef>
#include <cstdint>

// The .SHE skin format (see FORMAT.md): parsing only, no Windows here.
namespace skinlib {

enum Colour : int {
    kWindowFace, kLabelText, kEditFace, kEditText, kEditBorder, kButtonFace, kButtonHot, kButtonPressed,
    kButtonBorder, kButtonText, kButtonFocus, kStatusFace, kStatusText, kStatusEdge, kCaption, kCaptionText,
    kFrame, kCaptionInactive, kDisabledText, kColourCount
};

enum class SkinError : std::uint32_t {
    None = 0, NoData = 1, NotASkin = 2, Version = 3, Length = 4, Field = 5, Missing = 6, Resources = 7,
};

struct Skin {
    char name[65];
    std::uint32_t colours[kColourCount];  // 0x00BBGGRR, as COLORREF
    int borderWidth;
    int cornerRadius;
};

// Fills `out` only on success; on any error `out` is untouched.
SkinError ParseSkin(const unsigned char* data, std::size_t size, Skin& out) noexcept;

}  // namespace skinlib
