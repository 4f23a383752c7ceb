// The program end to end under Wine: started from a copy in a fresh directory, driven from
// outside through the window system with real keys.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Texts.h"
#include "app/MainWindowDef.h"
#include "tests/win/Driver_win.h"
#include "tests/win/ProgramTest_win.h"

using namespace testing_win;
namespace text = services::text;

namespace {

RECT ChildRect(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

class MainWindowE2E : public ProgramTest {};

TEST_F(MainWindowE2E, FrameIsCentredFixedAndCaptioned) {
    ASSERT_TRUE(StartProgram());
    HWND main = driver.main();
    EXPECT_EQ(Driver::Text(main), "Quillory");
    RECT outer;
    GetWindowRect(main, &outer);
    EXPECT_EQ(outer.right - outer.left, 329);
    EXPECT_EQ(outer.bottom - outer.top, 225);
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 329) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 225) / 2);

    const auto style = static_cast<DWORD>(GetWindowLongPtrA(main, GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN),
              static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN));
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME | WS_MAXIMIZE | WS_MINIMIZE), 0u);
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(main, GWL_EXSTYLE));
    EXPECT_EQ(exStyle & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE), 0u);
    EXPECT_EQ(GetWindow(main, GW_OWNER), nullptr);
    EXPECT_EQ(GetMenu(main), nullptr);
}

struct ControlCase {
    int id;
    const char* cls;
    RECT at;
    const char* text;
    bool tabStop;
};

TEST_F(MainWindowE2E, ControlsStandAsDescribed) {
    ASSERT_TRUE(StartProgram());
    const ControlCase cases[] = {
        {app::kLabel3, "QuilloryLabel", {15, 80, 84, 104}, text::kLabelCurrent, false},
        {app::kEditBox3, "Edit", {87, 80, 311, 104}, "", true},
        {app::kLabel4, "QuilloryLabel", {15, 112, 83, 136}, text::kLabelNew, false},
        {app::kEditBox4, "Edit", {87, 112, 311, 136}, "", true},
        {app::kButton2, "Button", {32, 140, 120, 172}, text::kButtonGather, true},
        {app::kButton1, "Button", {200, 140, 288, 172}, text::kButtonRepair, true},
        {app::kLabel2, "QuilloryLabel", {17, 48, 85, 72}, text::kLabelInstallDir, false},
        {app::kEditBox2, "Edit", {88, 48, 312, 72}, "", true},
        {app::kLabel1, "QuilloryLabel", {5, 16, 83, 40}, text::kLabelConfigPath, false},
        {app::kEditBox1, "Edit", {88, 16, 312, 40}, "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        HWND control = driver.Control(c.id);
        ASSERT_NE(control, nullptr);
        EXPECT_STRCASEEQ(ClassOf(control).c_str(), c.cls);
        const RECT r = ChildRect(control);
        EXPECT_EQ(r.left, c.at.left);
        EXPECT_EQ(r.top, c.at.top);
        EXPECT_EQ(r.right, c.at.right);
        EXPECT_EQ(r.bottom, c.at.bottom);
        EXPECT_EQ(Driver::Text(control), c.text);
        const auto style = static_cast<DWORD>(GetWindowLongPtrA(control, GWL_STYLE));
        const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(control, GWL_EXSTYLE));
        EXPECT_EQ((style & WS_TABSTOP) != 0, c.tabStop);
        EXPECT_TRUE(style & WS_VISIBLE);
        EXPECT_FALSE(style & WS_DISABLED);
        if (ClassOf(control) == "Edit") {
            EXPECT_TRUE(exStyle & WS_EX_CLIENTEDGE);
            EXPECT_TRUE(style & ES_AUTOHSCROLL);
            EXPECT_EQ(style & (ES_MULTILINE | ES_READONLY | ES_PASSWORD | ES_UPPERCASE | ES_LOWERCASE |
                               ES_NOHIDESEL | WS_HSCROLL | WS_VSCROLL),
                      0u);
        } else if (ClassOf(control) == "Button") {
            EXPECT_EQ(style & 0xF, static_cast<DWORD>(BS_PUSHBUTTON));
            EXPECT_EQ(style & (BS_MULTILINE | BS_CENTER | BS_VCENTER),
                      static_cast<DWORD>(BS_MULTILINE | BS_CENTER | BS_VCENTER));
        } else {
            EXPECT_TRUE(exStyle & WS_EX_TRANSPARENT);
        }
    }
}

TEST_F(MainWindowE2E, StatusBarDocksWithOnePanel) {
    ASSERT_TRUE(StartProgram());
    HWND bar = driver.Control(app::kStatusBar1);
    ASSERT_NE(bar, nullptr);
    EXPECT_STRCASEEQ(ClassOf(bar).c_str(), STATUSCLASSNAMEA);
    RECT client;
    GetClientRect(driver.main(), &client);
    const RECT r = ChildRect(bar);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, client.right);
    EXPECT_EQ(r.bottom, client.bottom);
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(bar, GWL_STYLE));
    EXPECT_FALSE(style & SBARS_SIZEGRIP);
    EXPECT_TRUE(style & SBARS_TOOLTIPS);
    EXPECT_EQ(SendMessageA(bar, SB_GETPARTS, 0, 0), 1);
    EXPECT_EQ(driver.StatusText(bar, 0), text::kStatusIdle);
    EXPECT_EQ(HIWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, 0, 0)) & (SBT_NOBORDERS | SBT_POPOUT), 0);
}

TEST_F(MainWindowE2E, StackingFollowsTheList) {
    ASSERT_TRUE(StartProgram());
    std::vector<int> ids;
    for (HWND child = GetWindow(driver.main(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ids.push_back(GetDlgCtrlID(child));
    const std::vector<int> want = {app::kStatusBar1, app::kLabel3,  app::kEditBox3, app::kLabel4,
                                   app::kEditBox4,   app::kButton2, app::kButton1,  app::kLabel2,
                                   app::kEditBox2,   app::kLabel1,  app::kEditBox1};
    EXPECT_EQ(ids, want);
}

TEST_F(MainWindowE2E, TabCyclesAndShiftTabGoesBack) {
    ASSERT_TRUE(StartProgram());
    ASSERT_TRUE(driver.WaitForFocus(driver.Control(app::kEditBox1))) << "the focus starts in the first box";
    const int cycle[] = {app::kEditBox2, app::kButton1, app::kButton2, app::kEditBox4, app::kEditBox3, app::kEditBox1};
    for (const int id : cycle) {
        driver.Key(VK_TAB);
        EXPECT_TRUE(driver.WaitForFocus(driver.Control(id))) << "Tab to " << id;
    }
    driver.Key(VK_TAB, {VK_SHIFT});
    EXPECT_TRUE(driver.WaitForFocus(driver.Control(app::kEditBox3)));
    driver.Key(VK_TAB, {VK_SHIFT});
    EXPECT_TRUE(driver.WaitForFocus(driver.Control(app::kEditBox4)));
}

TEST_F(MainWindowE2E, EnterAndF1ChangeNothing) {
    ASSERT_TRUE(StartProgram());
    HWND box = driver.Control(app::kEditBox1);
    ASSERT_TRUE(driver.WaitForFocus(box));
    driver.Key(VK_RETURN);
    driver.Key(VK_F1);
    driver.Key(VK_TAB);  // queued behind the two: once it lands, they were handled
    ASSERT_TRUE(driver.WaitForFocus(driver.Control(app::kEditBox2)));
    EXPECT_EQ(Driver::Text(box), "");
    EXPECT_EQ(driver.StatusText(driver.Control(app::kStatusBar1), 0), text::kStatusIdle);
    EXPECT_TRUE(driver.Running());
}

TEST_F(MainWindowE2E, FocusReturnsAfterReactivation) {
    ASSERT_TRUE(StartProgram());
    ASSERT_TRUE(driver.WaitForFocus(driver.Control(app::kEditBox1)));
    driver.Key(VK_TAB);
    driver.Key(VK_TAB);
    ASSERT_TRUE(driver.WaitForFocus(driver.Control(app::kButton1)));
    // Another program's window takes the activation, then ours gets it back.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    SetForegroundWindow(other);
    SetActiveWindow(other);
    Sleep(200);
    driver.Activate();
    EXPECT_TRUE(driver.WaitForFocus(driver.Control(app::kButton1)));
    DestroyWindow(other);
}

struct CloseCase {
    const char* how;
    void (*close)(Driver&);
};

const CloseCase kCloses[] = {
    {"Esc in a box", [](Driver& d) { d.Key(VK_ESCAPE); }},
    {"Esc on a button",
     [](Driver& d) {
         d.Key(VK_TAB);
         d.Key(VK_TAB);
         d.WaitForFocus(d.Control(app::kButton1));
         d.Key(VK_ESCAPE);
     }},
    {"Alt+F4", [](Driver& d) { d.Key(VK_F4, {VK_MENU}); }},
    // Without a window manager Wine draws no frame to click: the close box's own command,
    // which carries the mouse position, stands in for the click.
    {"close box", [](Driver& d) { PostMessageA(d.main(), WM_SYSCOMMAND, SC_CLOSE, MAKELPARAM(660, 280)); }},
    {"system menu Close", [](Driver& d) { PostMessageA(d.main(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    {"end of session",
     [](Driver& d) {
         EXPECT_TRUE(SendMessageA(d.main(), WM_QUERYENDSESSION, 0, 0));
         SendMessageTimeoutA(d.main(), WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
     }},
};

TEST_F(MainWindowE2E, EveryWayToCloseEndsWithZero) {
    for (const auto& c : kCloses) {
        SCOPED_TRACE(c.how);
        Driver program;
        ASSERT_TRUE(StartProgram(program));
        ASSERT_TRUE(program.WaitForFocus(program.Control(app::kEditBox1)));
        c.close(program);
        EXPECT_EQ(program.WaitForExit(), 0u);
    }
}

TEST_F(MainWindowE2E, ScreenshotOfTheWindow) {
    ASSERT_TRUE(StartProgram());
    ASSERT_TRUE(driver.WaitForFocus(driver.Control(app::kEditBox1)));
    Sleep(300);  // let the first paint finish
    const std::string path = ArtifactPath("main-window.bmp");
    ASSERT_TRUE(SaveWindowBitmap(driver.main(), path)) << path;
}

// Odd places and arguments: the program starts and closes in order all the same.
TEST_F(MainWindowE2E, StartsFromOddPlacesAndIgnoresArguments) {
    struct Case {
        const char* what;
        std::vector<std::string> subdirectories;
        std::string arguments;
    };
    const Case cases[] = {
        {"arguments", {}, " /repair --help \"C:\\x\""},
        {"GBK directory with a 0x5C trail byte", {"\x81\x5C\xD5\x5C\xD2\xD7\xD3\xEF\xD1\xD4"}, ""},  // 乗誠易语言
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string where = dir.path();
        for (const std::string& name : c.subdirectories) {
            where += "\\" + name;
            ASSERT_TRUE(CreateDirectoryA(where.c_str(), nullptr)) << where;
        }
        const std::string exe = where + "\\quillory.exe";
        ASSERT_TRUE(CopyFileA(FromEnvironment("QUILLORY_EXE").c_str(), exe.c_str(), FALSE)) << exe;
        Driver program;
        ASSERT_TRUE(program.Start(exe, where, c.arguments));
        ASSERT_NE(program.WaitForWindow("QuilloryWindow", 5000), nullptr)
            << Driver::Text(GetDlgItem(program.WaitForBox(text::kFatalCaption, 100), 0xFFFF));
        EXPECT_EQ(Driver::Text(program.Control(app::kEditBox1)), "");
        PostMessageA(program.main(), WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(), 0u);
    }
}

TEST(FatalReportE2E, BoxTextAndExitCode) {
    TempDirectory dir;
    Driver driver;
    ASSERT_TRUE(driver.Start(FromEnvironment("QUILLORY_FATAL_PROBE"), dir.path()));
    HWND box = driver.WaitForBox(text::kFatalCaption);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    const std::string want = std::string(text::kFatalHeading) + "\r\n\r\n" + text::kFatalCodeLabel + "6\r\n\r\n" +
                             text::kFatalMessageLabel + text::kForeignStackError + "\r\n";
    EXPECT_EQ(Driver::Text(GetDlgItem(box, 0xFFFF)), want);
    HWND ok = GetDlgItem(box, IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
    Driver::Click(ok);
    EXPECT_EQ(driver.WaitForExit(), 0xFFFFFFFFu);
}

}  // namespace
