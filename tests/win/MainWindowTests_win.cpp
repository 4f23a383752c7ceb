// The window built inside the test process, for what Wine does not answer across
// processes (fonts and icons come back as 0 from another process).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/MainWindowDef.h"
#include "app/MainWindow_win.h"
#include "app/Shell.h"

namespace {

SIZE IconSize(HICON icon) {
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info)) return {};
    BITMAP bitmap = {};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return {bitmap.bmWidth, info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2};
}

TEST(MainWindowInProcess, FontsAndIcons) {
    app::Shell shell;
    shell.LoadDescriptions(app::WindowDescriptions());
    shell.HoldEvents();  // built as the shell builds it: nothing reaches a handler
    app::MainWindow window(shell, nullptr);
    ASSERT_TRUE(window.Create(app::MainWindowDef()));
    const LRESULT guiFont = reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_EQ(SendMessageA(window.hwnd(), WM_GETFONT, 0, 0), guiFont);
    for (const app::UnitDef& unit : app::MainWindowDef().units.subspan(1)) {
        SCOPED_TRACE(unit.number);
        EXPECT_EQ(SendMessageA(GetDlgItem(window.hwnd(), unit.number), WM_GETFONT, 0, 0), guiFont);
    }
    const auto big = reinterpret_cast<HICON>(SendMessageA(window.hwnd(), WM_GETICON, ICON_BIG, 0));
    const auto small = reinterpret_cast<HICON>(SendMessageA(window.hwnd(), WM_GETICON, ICON_SMALL, 0));
    ASSERT_NE(big, nullptr);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(IconSize(big).cx, 32);
    EXPECT_EQ(IconSize(small).cx, 16);
    EXPECT_FALSE(IsWindowVisible(window.hwnd()));  // built hidden; showing is the shell's step
    DestroyWindow(window.hwnd());
}

TEST(MainWindowInProcess, EditServicesRoundTrip) {
    app::Shell shell;
    shell.LoadDescriptions(app::WindowDescriptions());
    app::MainWindow window(shell, nullptr);
    ASSERT_TRUE(window.Create(app::MainWindowDef()));
    using repair::EditBox;
    EXPECT_TRUE(window.ReadEditContent(EditBox::InstallDir).IsAbsent());
    window.WriteEditContent(EditBox::InstallDir, "D:\\\xD2\xD7\\");  // D:\易\ in GBK
    const services::Text first = window.ReadEditContent(EditBox::InstallDir);
    const services::Text second = window.ReadEditContent(EditBox::InstallDir);
    EXPECT_STREQ(first.c_str(), "D:\\\xD2\xD7\\");
    EXPECT_STREQ(second.c_str(), first.c_str());
    EXPECT_NE(second.c_str(), first.c_str());  // a fresh copy each time
    window.WriteEditContent(EditBox::InstallDir, nullptr);
    EXPECT_TRUE(window.ReadEditContent(EditBox::InstallDir).IsAbsent());

    HWND bar = GetDlgItem(window.hwnd(), app::kStatusBar1);
    window.SetStatusPanelText(0, "x");
    window.SetStatusPanelText(1, "ignored");
    window.SetStatusPanelText(-1, "ignored");
    char shown[64] = {};
    SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(shown));
    EXPECT_STREQ(shown, "x");
    EXPECT_EQ(SendMessageA(bar, SB_GETPARTS, 0, 0), 1);
    DestroyWindow(window.hwnd());
}

}  // namespace
