#include "app/MainWindowDef.h"
#include "app/Program_win.h"
#include "repair/Handlers.h"
#include "services/files/Files.h"
#include "skin/Skin.h"

namespace app {
namespace {

// The repair's view of the system: the registry, the profile file and the file system.
class SystemEnvironment final : public repair::Environment {
public:
    services::Text ReadRegistryText(std::int32_t root, services::TextRef path,
                                    services::TextRef defaultText) noexcept override {
        return services::ReadRegistryText(root, path, defaultText);
    }
    services::Text ReadProfileText(services::TextRef file, services::TextRef section,
                                   services::TextRef key) noexcept override {
        return services::ReadProfileText(file, section, key);
    }
    bool WriteProfileText(services::TextRef file, services::TextRef section, services::TextRef key,
                          services::TextRef value) noexcept override {
        return services::WriteProfileText(file, section, key, value);
    }
    bool FileExists(services::TextRef name) noexcept override { return services::FileExists(name); }
};

}  // namespace

void OnMainWindowCreated() { skin::LoadSkin(skin::kStartupSkin); }

void OnGatherInfoClicked() {
    SystemEnvironment system;
    repair::OnGatherInfoClicked(Controls(), system);
}

void OnRepairClicked() {
    SystemEnvironment system;
    repair::OnRepairClicked(Controls(), system);
}

}  // namespace app
