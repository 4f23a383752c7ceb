// Our skin library on a window laid out like the main window, built in this process: each
// of the 33 skins is attached and sampled pixels are checked against its palette; bad data
// leaves the window as it was.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include <gtest/gtest.h>

#include "app/MainWindowDef.h"
#include "app/MainWindow_win.h"
#include "app/Shell.h"
#include "skinlib/SkinFormat.h"
#include "tests/win/Driver_win.h"
#include "tests/win/Fixture_win.h"

using namespace testing_win;

namespace {

using AttachFn = int(__stdcall*)(const unsigned char*, int, const char*, int, int, int);

// What the screen shows at a point of a window's client area.
COLORREF Pixel(HWND hwnd, int x, int y) {
    POINT at = {x, y};
    ClientToScreen(hwnd, &at);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

struct Samples {
    COLORREF window, button, edit, status;
};

Samples Sample(const app::MainWindow& window) {
    HWND main = window.hwnd();
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
    HWND bar = GetDlgItem(main, app::kStatusBar1);
    RECT barRect;
    GetClientRect(bar, &barRect);
    return {Pixel(main, 4, 4), Pixel(GetDlgItem(main, app::kButton2), 4, 16),
            Pixel(GetDlgItem(main, app::kEditBox1), 200, 10), Pixel(bar, barRect.right - 1, barRect.bottom / 2)};
}

std::string Hex(COLORREF c) {
    char text[16];
    wsprintfA(text, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

TEST(SkinLibrary, AttachesEverySkinAndRefusesBadData) {
    const std::string payload = FromEnvironment("QUILLORY_SKIN_PAYLOAD");
    HMODULE library = LoadLibraryA((payload + "\\SkinH_EL.dll").c_str());
    ASSERT_NE(library, nullptr) << payload;
    const auto attach = reinterpret_cast<AttachFn>(reinterpret_cast<void*>(GetProcAddress(library, "SkinH_AttachRes")));
    ASSERT_NE(attach, nullptr);

    app::Shell shell;
    shell.LoadDescriptions(app::WindowDescriptions());
    app::MainWindow window(shell, nullptr);
    ASSERT_TRUE(window.Create(app::MainWindowDef()));
    window.ShowControls();
    SetWindowPos(window.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);

    // Bad data first, while the window is still plain: an error, and the same pixels.
    const Samples plain = Sample(window);
    EXPECT_EQ(Hex(plain.window), Hex(GetSysColor(COLOR_BTNFACE)));
    const std::string jade = ReadFileBytes(payload + "\\skin13.she");
    std::string broken = jade;
    broken[0] = 'X';
    const struct {
        const char* what;
        const unsigned char* data;
        int size;
        int code;
    } bad[] = {
        {"absent pointer", nullptr, 0, 1},
        {"length 0", reinterpret_cast<const unsigned char*>(jade.data()), 0, 1},
        {"bad magic", reinterpret_cast<const unsigned char*>(broken.data()), static_cast<int>(broken.size()), 2},
        {"cut short", reinterpret_cast<const unsigned char*>(jade.data()), static_cast<int>(jade.size()) - 1, 4},
    };
    for (const auto& b : bad) {
        SCOPED_TRACE(b.what);
        EXPECT_EQ(attach(b.data, b.size, "", 0, 0, 0), b.code);
        const Samples after = Sample(window);
        EXPECT_EQ(Hex(after.window), Hex(plain.window));
        EXPECT_EQ(Hex(after.button), Hex(plain.button));
        EXPECT_EQ(Hex(after.edit), Hex(plain.edit));
    }

    for (int number = 1; number <= 33; ++number) {
        SCOPED_TRACE(number);
        char name[32];
        wsprintfA(name, "\\skin%02d.she", number);
        const std::string data = ReadFileBytes(payload + name);
        skinlib::Skin skin;
        ASSERT_EQ(skinlib::ParseSkin(reinterpret_cast<const unsigned char*>(data.data()), data.size(), skin),
                  skinlib::SkinError::None);
        ASSERT_EQ(attach(reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()), "", 0, 0, 0), 0);
        const Samples s = Sample(window);
        EXPECT_EQ(Hex(s.window), Hex(skin.colours[skinlib::kWindowFace]));
        EXPECT_EQ(Hex(s.button), Hex(skin.colours[skinlib::kButtonFace]));
        EXPECT_EQ(Hex(s.edit), Hex(skin.colours[skinlib::kEditFace]));
        EXPECT_EQ(Hex(s.status), Hex(skin.colours[skinlib::kStatusFace]));
    }
    // The skin changed how things look, not what they are.
    EXPECT_EQ(Driver::Text(GetDlgItem(window.hwnd(), app::kButton1)), "\xD0\xDE\xB8\xB4");
    RECT r;
    GetWindowRect(window.hwnd(), &r);
    EXPECT_EQ(r.right - r.left, 329);
    EXPECT_EQ(GetWindowLongPtrA(GetDlgItem(window.hwnd(), app::kButton1), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);

    DestroyWindow(window.hwnd());
    FreeLibrary(library);  // unhooks: later windows of this thread are not dressed
}

}  // namespace
