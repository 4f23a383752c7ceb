#include "repair/Locator.h"

#include "Texts.h"

namespace repair {

using namespace services;

namespace {
constexpr std::int32_t kCurrentUser = 3;
}  // namespace

Text GetInstallPath(Environment& env) noexcept {
    const Text value = env.ReadRegistryText(kCurrentUser, text::kInstallPathValue, "");
    const std::int32_t lastBackslash = FindTextReverse(value, "\\", false);
    return CopyText(TextLeft(value, lastBackslash));
}

Text TextBefore(TextRef text, TextRef marker) noexcept {
    const std::int32_t at = FindText(text, marker, 1, false);
    if (at == -1) return {};
    return CopyText(TextLeft(text, static_cast<std::int32_t>(TruncateToInteger(at - 1.0))));
}

Text InstallRoot(Environment& env) noexcept { return TextBefore(GetInstallPath(env), text::kRootMarker); }

Text LinkIniPath(Environment& env) noexcept { return ConcatText(InstallRoot(env), text::kLinkIniTail); }

}  // namespace repair
