#pragma once
#include <cstddef>

#include "services/foreign/Foreign.h"

// The program's table of foreign functions: one entry, the skin library's attach call.
namespace skin {

inline constexpr std::size_t kAttachResEntry = 0;
inline constexpr services::ForeignFunction kForeignFunctions[] = {{"SkinH_EL.dll", "SkinH_AttachRes"}};

}  // namespace skin
