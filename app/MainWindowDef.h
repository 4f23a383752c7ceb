#pragma once
#include "app/WindowDescription.h"

// The description of the one window of the program.
namespace app {

inline constexpr int kMainWindow = 1;

// Unit numbers, which are also the controls' window ids.
enum UnitNumber : int {
    kStatusBar1 = 1001,
    kLabel3 = 1002,
    kEditBox3 = 1003,
    kLabel4 = 1004,
    kEditBox4 = 1005,
    kButton2 = 1006,
    kButton1 = 1007,
    kLabel2 = 1008,
    kEditBox2 = 1009,
    kLabel1 = 1010,
    kEditBox1 = 1011,
};

inline constexpr int kStatusPanelWidth = 320;
inline constexpr int kStatusPanelCount = 1;

const WindowDef& MainWindowDef() noexcept;
// Every window description of the program (one: the main window).
std::span<const WindowDef> WindowDescriptions() noexcept;

// The handlers the description binds; the program supplies them.
void OnMainWindowCreated();
void OnGatherInfoClicked();
void OnRepairClicked();

}  // namespace app
