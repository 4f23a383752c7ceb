#pragma once
#include "repair/ControlServices.h"
#include "repair/Environment.h"

// The two buttons. Each reads what it needs afresh, moves texts between the boxes and the
// environment, and leaves one outcome line on the status bar.
namespace repair {

// 获取修复信息: shows the configuration file, the install root and the current entry.
void OnGatherInfoClicked(ControlServices& ui, Environment& env) noexcept;

// 修复: rewrites the entry when it differs from the linker beneath the install root shown in
// the second box, reads it back and reports.
void OnRepairClicked(ControlServices& ui, Environment& env) noexcept;

// The outcome lines, decided from what was seen.
const char* GatherOutcome(bool currentShown, bool configPathShown, bool installFound) noexcept;
const char* RepairOutcome(bool readBackMatches) noexcept;

}  // namespace repair
