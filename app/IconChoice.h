#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

// Which image of an icon group the window wears: the first image of the wanted size, in
// directory order, whose colour-count field is 16 or more; failing that, the last image.
namespace app {

// `group` is an RT_GROUP_ICON resource: a 6-byte header, then 14-byte entries. Returns the
// chosen entry's resource id, or nothing when the group is malformed or empty.
std::optional<std::uint16_t> ChooseIconImage(const unsigned char* group, std::size_t size, int side) noexcept;

}  // namespace app
