#pragma once
#include "services/text/Text.h"

// The skins the program carries and the attach call at start-up.
namespace skin {

inline constexpr int kStartupSkin = 13;
inline constexpr int kSkinCount = 33;

// Skin `number` (1 to 33) as a byte set; absent for any other number.
services::ByteSetRef SkinPayload(int number) noexcept;
// The skin library file, SkinH_EL.dll, as a byte set.
services::ByteSetRef LibraryPayload() noexcept;

// Ensures the library beside the program, then hands it skin `number` (no data at all for a
// number outside 1 to 33). Its answer is not looked at: the program runs the same without a
// skin. A library that cannot be loaded ends the process through the fatal report.
void LoadSkin(int number) noexcept;

}  // namespace skin
