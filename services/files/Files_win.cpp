#include "services/files/Files.h"

#include <cstring>

#include "services/Handles_win.h"
#include "services/files/Paths.h"
#include "services/text/Heap.h"

namespace services {
namespace {

Text gRunDirectory;

bool IsAnsiLeadByte(unsigned char byte) noexcept { return IsDBCSLeadByte(byte) != FALSE; }

HKEY HiveOf(std::int32_t root) noexcept {
    switch (root) {
        case 1: return HKEY_CLASSES_ROOT;
        case 2: return HKEY_CURRENT_CONFIG;
        case 4: return HKEY_LOCAL_MACHINE;
        case 5: return HKEY_USERS;
        default: return HKEY_CURRENT_USER;
    }
}

// A heap block that goes back when the scope ends; it holds bytes that are not a text yet.
class Buffer {
public:
    explicit Buffer(std::size_t size) noexcept : bytes_(static_cast<char*>(AllocateBlock(size))), size_(size) {
        std::memset(bytes_, 0, size);
    }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;
    ~Buffer() { HeapRelease(bytes_); }
    char* data() noexcept { return bytes_; }
    std::size_t size() const noexcept { return size_; }
    // The bytes up to the first NUL, never past the end.
    std::string_view View() const noexcept { return {bytes_, strnlen(bytes_, size_)}; }

private:
    char* bytes_;
    std::size_t size_;
};

// Wine's ExpandEnvironmentStringsA counts characters, not bytes, so a buffer of the size it
// asks for can come back cut short and without a NUL: grow until the answer fits with room.
// The platform expands at most 32K characters; an expansion that reaches that limit has been
// cut, and a cut path names some other file, so it counts as a failed expansion.
std::optional<Text> TryExpand(const char* source) noexcept {
    constexpr DWORD kExpandLimit = 32767;
    DWORD asked = ExpandEnvironmentStringsA(source, nullptr, 0);
    for (int attempt = 0; asked != 0 && asked < kExpandLimit && attempt < 4; ++attempt) {
        Buffer expanded(static_cast<std::size_t>(asked) * 2 + 2);
        const DWORD room = static_cast<DWORD>(expanded.size() - 1);
        const DWORD got = ExpandEnvironmentStringsA(source, expanded.data(), room);
        if (got == 0 || got >= kExpandLimit) break;
        if (got <= room / 2 && expanded.View().size() < kExpandLimit - 1) return TextFromBytes(expanded.View());
        asked = got;
    }
    return std::nullopt;
}

// Wine's profile service answers a name past MAX_PATH from the file it used last, reading
// and even writing the wrong file; Windows cannot open such a name either way.
bool ProfileNameFits(TextRef file) noexcept { return std::strlen(file.c_str()) < MAX_PATH; }

}  // namespace

void InitRunDirectory() noexcept {
    // Paths past MAX_PATH do exist (and Wine cuts GBK paths short of it): a generous buffer
    // keeps a long path from being cut into some other, existing directory.
    constexpr DWORD kPathBytes = 32768;
    Buffer path(kPathBytes);
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), kPathBytes);
    const std::string_view full(path.data(), n < kPathBytes ? n : 0);
    gRunDirectory = TextFromBytes(RunDirectoryOf(full, IsAnsiLeadByte));
    if (!gRunDirectory.IsAbsent()) SetCurrentDirectoryA(gRunDirectory.c_str());
}

Text GetRunDirectory() noexcept { return CopyText(gRunDirectory); }

bool FileExists(TextRef name) noexcept {
    if (!*name.c_str()) return false;
    WIN32_FIND_DATAA found;
    const UniqueFind search(FindFirstFileA(name.c_str(), &found));
    return static_cast<bool>(search);
}

bool SetFileAttributeFlags(TextRef name, std::int32_t flags) noexcept {
    return SetFileAttributesA(name.c_str(), static_cast<DWORD>(flags) & 39u) != FALSE;
}

bool WriteWholeFile(TextRef name, std::initializer_list<ByteSetRef> data) noexcept {
    if (!*name.c_str()) return false;
    UniqueFile file(CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    for (const ByteSetRef set : data) {
        const std::uint32_t length = ByteSetLength(set);
        if (length == 0) continue;
        DWORD written = 0;
        if (!WriteFile(file.get(), ByteSetData(set), length, &written, nullptr) || written != length) return false;
    }
    return CloseHandle(file.release()) != FALSE;
}

bool RemoveFile(TextRef name) noexcept { return *name.c_str() && DeleteFileA(name.c_str()) != FALSE; }

Text ReadRegistryText(std::int32_t root, TextRef path, TextRef defaultText) noexcept {
    const RegistryPath split = SplitRegistryPath(path.c_str());
    const Text keyPath = TextFromBytes(split.key);
    const Text valueName = TextFromBytes(split.value);
    UniqueKey key;
    if (RegOpenKeyExA(HiveOf(root), keyPath.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS) {
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
            Buffer data(static_cast<std::size_t>(size) + 1);  // the stored text may lack its NUL
            DWORD got = size;
            if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                                 &got) == ERROR_SUCCESS &&
                (type == REG_SZ || type == REG_EXPAND_SZ)) {
                if (type == REG_SZ || data.View().empty()) return TextFromBytes(data.View());
                if (std::optional<Text> expanded = TryExpand(data.data())) return std::move(*expanded);
            }
        }
    }
    return CopyText(*defaultText.c_str() ? defaultText : TextRef(nullptr));
}

Text ReadProfileText(TextRef file, TextRef section, TextRef key, TextRef defaultText) noexcept {
    const Text fileName = TextFromBytes(SkipLeadingBlanks(file.c_str()));
    const Text sectionName = TextFromBytes(SkipLeadingBlanks(section.c_str()));
    const Text keyName = TextFromBytes(SkipLeadingBlanks(key.c_str()));
    if (fileName.IsAbsent() || sectionName.IsAbsent() || keyName.IsAbsent()) return {};
    if (!ProfileNameFits(fileName)) return CopyText(*defaultText.c_str() ? defaultText : TextRef(nullptr));
    // Cleared first: when Wine cuts a value inside a double-byte character it leaves the
    // byte before the NUL as the buffer held it.
    Buffer value(kProfileBufferBytes);
    const char* fallback = *defaultText.c_str() ? defaultText.c_str() : nullptr;
    GetPrivateProfileStringA(sectionName.c_str(), keyName.c_str(), fallback, value.data(),
                             static_cast<DWORD>(value.size()), fileName.c_str());
    value.data()[value.size() - 1] = '\0';
    return TextFromBytes(value.View());
}

bool WriteProfileText(TextRef file, TextRef section, std::optional<TextRef> key,
                      std::optional<TextRef> value) noexcept {
    // The profile service's own answer to an empty or an overlong name is a file the user
    // never named.
    if (!*file.c_str() || !ProfileNameFits(file)) return false;
    return WritePrivateProfileStringA(section.c_str(), key ? key->c_str() : nullptr,
                                      value ? value->c_str() : nullptr, file.c_str()) != FALSE;
}

}  // namespace services
