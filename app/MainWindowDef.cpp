#include "app/MainWindowDef.h"

#include "Texts.h"

namespace app {
namespace {

using namespace services::text;

constexpr Binding kWindowBindings[] = {{kEventCreated, OnMainWindowCreated}};
constexpr Binding kGatherBindings[] = {{kEventClicked, OnGatherInfoClicked}};
constexpr Binding kRepairBindings[] = {{kEventClicked, OnRepairClicked}};

// Stored order is stacking order: the first control lies on top; controls are created last first.
constexpr UnitDef kUnits[] = {
    {UnitKind::Window, kMainWindow, "", {50, 50, 329, 225}, kCaption, false, kWindowBindings},
    {UnitKind::StatusBar, kStatusBar1, kUnitStatus, {0, 192, 323, 20}, kStatusIdle, false},
    {UnitKind::TransparentLabel, kLabel3, kUnitLabel3, {15, 80, 69, 24}, kLabelCurrent, false},
    {UnitKind::EditBox, kEditBox3, kUnitEdit3, {87, 80, 224, 24}, "", true},
    {UnitKind::TransparentLabel, kLabel4, kUnitLabel4, {15, 112, 68, 24}, kLabelNew, false},
    {UnitKind::EditBox, kEditBox4, kUnitEdit4, {87, 112, 224, 24}, "", true},
    {UnitKind::Button, kButton2, kUnitButton2, {32, 140, 88, 32}, kButtonGather, true, kGatherBindings},
    {UnitKind::Button, kButton1, kUnitButton1, {200, 140, 88, 32}, kButtonRepair, true, kRepairBindings},
    {UnitKind::TransparentLabel, kLabel2, kUnitLabel2, {17, 48, 68, 24}, kLabelInstallDir, false},
    {UnitKind::EditBox, kEditBox2, kUnitEdit2, {88, 48, 224, 24}, "", true},
    {UnitKind::TransparentLabel, kLabel1, kUnitLabel1, {5, 16, 78, 24}, kLabelConfigPath, false},
    {UnitKind::EditBox, kEditBox1, kUnitEdit1, {88, 16, 224, 24}, "", true},
};

constexpr WindowDef kWindows[] = {{kMainWindow, kUnits}};

}  // namespace

const WindowDef& MainWindowDef() noexcept { return kWindows[0]; }

std::span<const WindowDef> WindowDescriptions() noexcept { return kWindows; }

}  // namespace app
