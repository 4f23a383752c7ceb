#pragma once
#include <cstdint>

#include "services/text/Text.h"

// What the handlers may do with the window: read and write the four edit boxes and set
// the status line. The program implements it over its window; tests implement it in memory.
namespace repair {

enum class EditBox {
    ConfigPath,  // 编辑框1: the link configuration file, and the target of the write
    InstallDir,  // 编辑框2: the install root, source of the expected linker path
    Current,     // 编辑框3: the entry as found
    Repaired,    // 编辑框4: the entry after the repair
};

class ControlServices {
public:
    // A fresh copy of what the box holds now (the user's typing included); absent when empty.
    virtual services::Text ReadEditContent(EditBox box) noexcept = 0;
    virtual void WriteEditContent(EditBox box, services::TextRef text) noexcept = 0;
    // Panels outside the bar's range are ignored.
    virtual void SetStatusPanelText(std::int32_t panel, services::TextRef text) noexcept = 0;

protected:
    ~ControlServices() = default;
};

}  // namespace repair
