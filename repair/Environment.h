#pragma once
#include <cstdint>

#include "services/text/Text.h"

// What the repair reads and writes outside the window: the registry, the profile file and
// whether a file is there. The program passes the Windows services; tests pass a fake.
namespace repair {

class Environment {
public:
    virtual services::Text ReadRegistryText(std::int32_t root, services::TextRef path,
                                            services::TextRef defaultText) noexcept = 0;
    virtual services::Text ReadProfileText(services::TextRef file, services::TextRef section,
                                           services::TextRef key) noexcept = 0;
    virtual bool WriteProfileText(services::TextRef file, services::TextRef section, services::TextRef key,
                                  services::TextRef value) noexcept = 0;
    virtual bool FileExists(services::TextRef name) noexcept = 0;

protected:
    ~Environment() = default;
};

}  // namespace repair
