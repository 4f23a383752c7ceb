#pragma once
#include <map>
#include <optional>
#include <string>

#include "Texts.h"
#include "repair/ControlServices.h"
#include "repair/Environment.h"

// The window's boxes and the installation, in memory, for the handlers' tests.
namespace testfake {

class Boxes : public repair::ControlServices {
public:
    std::string box[4];
    std::string status = services::text::kStatusIdle;
    int statusWrites = 0;

    std::string& operator[](repair::EditBox b) { return box[static_cast<int>(b)]; }
    services::Text ReadEditContent(repair::EditBox b) noexcept override { return services::TextFromBytes((*this)[b]); }
    void WriteEditContent(repair::EditBox b, services::TextRef text) noexcept override { (*this)[b] = text.c_str(); }
    void SetStatusPanelText(std::int32_t panel, services::TextRef text) noexcept override {
        if (panel != 0) return;
        status = text.c_str();
        ++statusWrites;
    }
};

// One registry value and a set of link.ini files, each holding at most the one entry.
class Installation : public repair::Environment {
public:
    std::optional<std::string> registered;                    // Software\FlySky\E\Install\Path
    std::map<std::string, std::optional<std::string>> files;  // file -> linker entry (nullopt: no entry)
    std::map<std::string, bool> readOnly;
    int writes = 0;
    std::string lastTarget;

    services::Text ReadRegistryText(std::int32_t root, services::TextRef path, services::TextRef defaultText) noexcept override {
        if (root == 3 && std::string(path.c_str()) == services::text::kInstallPathValue && registered)
            return services::TextFromBytes(*registered);
        return services::CopyText(defaultText);
    }
    services::Text ReadProfileText(services::TextRef file, services::TextRef section, services::TextRef key) noexcept override {
        const auto found = files.find(file.c_str());
        if (found == files.end() || !found->second || !IsLinker(section, key)) return {};
        return services::TextFromBytes(*found->second);
    }
    bool WriteProfileText(services::TextRef file, services::TextRef section, services::TextRef key,
                          services::TextRef value) noexcept override {
        lastTarget = file.c_str();
        if (lastTarget.empty() || readOnly[lastTarget] || !IsLinker(section, key)) return false;
        ++writes;
        files[lastTarget] = value.c_str();
        return true;
    }
    bool FileExists(services::TextRef name) noexcept override { return files.count(name.c_str()) > 0; }

private:
    static bool IsLinker(services::TextRef section, services::TextRef key) {
        return std::string(section.c_str()) == "linker" && std::string(key.c_str()) == "linker";
    }
};

}  // namespace testfake
