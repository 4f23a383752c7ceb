#include "skin/Skin.h"

#include "services/files/Files.h"
#include "services/foreign/Foreign.h"
#include "skin/Deploy.h"
#include "skin/ForeignTable.h"

namespace skin {

// Generated from the payload files (tools/embed_payloads.py).
namespace payload {
extern const unsigned char kLibrary[];
extern const unsigned char* const kSkins[kSkinCount];
}  // namespace payload

namespace {

class SystemFiles final : public LibraryFiles {
public:
    bool FileExists(services::TextRef name) noexcept override { return services::FileExists(name); }
    bool WriteWholeFile(services::TextRef name, services::ByteSetRef data) noexcept override {
        return services::WriteWholeFile(name, {data});
    }
    bool SetFileAttributeFlags(services::TextRef name, int flags) noexcept override {
        return services::SetFileAttributeFlags(name, flags);
    }
    bool RemoveFile(services::TextRef name) noexcept override { return services::RemoveFile(name); }
};

}  // namespace

services::ByteSetRef SkinPayload(int number) noexcept {
    return number >= 1 && number <= kSkinCount ? payload::kSkins[number - 1] : nullptr;
}

services::ByteSetRef LibraryPayload() noexcept { return payload::kLibrary; }

void LoadSkin(int number) noexcept {
    SystemFiles files;
    EnsureSkinLibrary(files, services::GetRunDirectory(), LibraryPayload());
    const services::ByteSetRef chosen = SkinPayload(number);
    const services::ByteSet copy = chosen.block() ? services::CopyByteSet(chosen) : services::ByteSet();
    services::CallForeignFunction(kAttachResEntry,
                                  {reinterpret_cast<std::uintptr_t>(services::ByteSetData(copy)),
                                   services::ByteSetLength(copy), reinterpret_cast<std::uintptr_t>(""), 0, 0, 0});
}

}  // namespace skin
