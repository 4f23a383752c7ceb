#pragma once
#include <cstddef>
#include <string_view>

// Byte-level path rules shared by the file and registry services: no Windows here.
namespace services {

using LeadBytePredicate = bool (*)(unsigned char byte) noexcept;

// Any byte >= 0x80 starts a two-byte character: the rule of the text searches.
bool IsHighByte(unsigned char byte) noexcept;

// Offset of the last backslash that is a character of its own (not the second byte of a
// double-byte character), or npos. A lead byte just before the end takes nothing with it.
std::size_t LastBackslash(std::string_view path, LeadBytePredicate isLead) noexcept;

// The run directory from the executable's path: the text before its last backslash, or
// empty when there is none.
std::string_view RunDirectoryOf(std::string_view exePath, LeadBytePredicate isLead) noexcept;

// "Key\Path\Value": the key path before the last separator and the value name after it.
struct RegistryPath {
    std::string_view key;
    std::string_view value;
};
RegistryPath SplitRegistryPath(std::string_view path) noexcept;

// Drops leading bytes 1..32 (blanks and control characters); bytes >= 0x80 stay.
std::string_view SkipLeadingBlanks(std::string_view text) noexcept;

}  // namespace services
