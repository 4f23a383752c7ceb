// Renders the main window in each of the 33 skins, filled as after a repair, and saves one
// bitmap per skin; tools/contact-sheet joins them into docs/skins.png.
//   contact_sheet PAYLOAD_DIR OUTPUT_DIR
#include <windows.h>

#include <string>

#include "Texts.h"
#include "app/MainWindowDef.h"
#include "app/MainWindow_win.h"
#include "app/Shell.h"
#include "tests/win/Fixture_win.h"

namespace text = services::text;

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const std::string payload = argv[1];
    const std::string output = argv[2];
    HMODULE library = LoadLibraryA((payload + "\\SkinH_EL.dll").c_str());
    using AttachFn = int(__stdcall*)(const unsigned char*, int, const char*, int, int, int);
    const auto attach = reinterpret_cast<AttachFn>(reinterpret_cast<void*>(GetProcAddress(library, "SkinH_AttachRes")));
    if (!attach) return 3;

    app::Shell shell;
    shell.LoadDescriptions(app::WindowDescriptions());
    app::MainWindow window(shell, nullptr);
    if (!window.Create(app::MainWindowDef())) return 4;
    window.ShowControls();
    const std::string root = "C:\\\xD2\xD7\xD3\xEF\xD1\xD4\\";  // C:\易语言\ .
    window.WriteEditContent(repair::EditBox::ConfigPath, (root + "tools\\link.ini").c_str());
    window.WriteEditContent(repair::EditBox::InstallDir, root.c_str());
    window.WriteEditContent(repair::EditBox::Current, "linker=C:\\VC98\\Bin\\LINK.EXE");
    window.WriteEditContent(repair::EditBox::Repaired, (root + "VC98linker\\bin\\link.exe").c_str());
    window.SetStatusPanelText(0, text::kRepairSucceeded);
    SetWindowPos(window.hwnd(), HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(window.hwnd());
    SetFocus(GetDlgItem(window.hwnd(), app::kButton1));

    for (int number = 1; number <= 33; ++number) {
        char name[32];
        wsprintfA(name, "skin%02d", number);
        const std::string data = testing_win::ReadFileBytes(payload + "\\" + name + ".she");
        if (attach(reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()), "", 0, 0, 0) != 0)
            return 5;
        RedrawWindow(window.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        MSG msg;
        for (int i = 0; i < 20; ++i) {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            Sleep(10);
        }
        if (!testing_win::SaveWindowBitmap(window.hwnd(), output + "\\" + name + ".bmp")) return 6;
    }
    DestroyWindow(window.hwnd());
    return 0;
}
