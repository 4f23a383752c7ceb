#include "services/files/Paths.h"

namespace services {

bool IsHighByte(unsigned char byte) noexcept { return byte >= 0x80; }

std::size_t LastBackslash(std::string_view path, LeadBytePredicate isLead) noexcept {
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (isLead(static_cast<unsigned char>(path[i]))) {
            ++i;  // the second byte belongs to the character, whatever it is
        } else if (path[i] == '\\') {
            last = i;
        }
    }
    return last;
}

std::string_view RunDirectoryOf(std::string_view exePath, LeadBytePredicate isLead) noexcept {
    const std::size_t cut = LastBackslash(exePath, isLead);
    return cut == std::string_view::npos ? std::string_view() : std::string_view(exePath.data(), cut);
}

RegistryPath SplitRegistryPath(std::string_view path) noexcept {
    const std::size_t cut = LastBackslash(path, IsHighByte);
    if (cut == std::string_view::npos) return {{}, path};
    return {std::string_view(path.data(), cut), std::string_view(path.data() + cut + 1, path.size() - cut - 1)};
}

std::string_view SkipLeadingBlanks(std::string_view text) noexcept {
    std::size_t i = 0;
    while (i < text.size() && text[i] >= 1 && text[i] <= 32) ++i;
    return {text.data() + i, text.size() - i};  // no substr: nothing here may throw
}

}  // namespace services
