#include "app/Program_win.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "Texts.h"
#include "app/MainWindowDef.h"
#include "app/MainWindow_win.h"
#include "app/Shell.h"
#include "services/files/Files.h"
#include "services/foreign/Foreign.h"
#include "services/text/Fatal.h"

namespace app {
namespace {

[[noreturn]] void EndWithSession() noexcept;

Shell gShell;
MainWindow gWindow(gShell, EndWithSession);
bool gOleReady = false;

// The system keeps nothing that needs writing or releasing at the end.
void OnShutdown() {}

// Events are held back before the box shows, so no handler runs under it or after it.
void ShowFatalReport(const char* reportText) noexcept {
    gShell.HoldEventsForGood();
    gShell.ClearShutdownRoutine();
    MessageBoxA(nullptr, reportText, services::text::kFatalCaption, MB_OK | MB_ICONERROR);
    ShutdownServices();
    ExitProcess(0xFFFFFFFFu);
}

void EndWithSession() noexcept {
    ShutdownServices();
    ExitProcess(0);
}

// Dispatches what is already queued; a quit request stays in the queue for the loop.
void DispatchPending() noexcept {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void LoadMainWindow(int number) noexcept {
    const WindowDef* def = gShell.FindDescription(number);
    if (!def) services::RaiseFatal(0, services::text::kLoadStartWindowFailed);
    DispatchPending();
    gShell.HoldEvents();
    if (!gWindow.Create(*def)) services::RaiseFatal(0, services::text::kLoadStartWindowFailed);
    gWindow.ShowControls();
    DispatchPending();  // what building produced reaches no handler
    gShell.ReleaseEvents();
    gShell.RaiseEvent(number, kWindowItself, kEventCreated);
    gWindow.Show();
}

int RunMessageLoop() noexcept {
    gShell.MarkLoopStarted();
    if (!gWindow.IsOpen()) return 0;
    MSG msg = {};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (gWindow.RouteKey(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

void InitializeServices(std::span<const services::ForeignFunction> foreignFunctions) noexcept {
    services::SetFatalReporter(ShowFatalReport);
    gOleReady = SUCCEEDED(OleInitialize(nullptr));
    const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    services::InitRunDirectory();
    services::LoadForeignTable(foreignFunctions);
    gShell.LoadDescriptions(WindowDescriptions());
}

void ShutdownServices() noexcept {
    gShell.HoldEventsForGood();
    gShell.ReleaseDescriptions();
    gShell.RunShutdownRoutineOnce();
    services::ReleaseForeignLibraries();  // after the routine: it may still use them
    if (gOleReady) OleUninitialize();
    gOleReady = false;
}

int RunProgram() noexcept {
    gShell.RegisterShutdownRoutine(OnShutdown);
    LoadMainWindow(kMainWindow);
    const int code = RunMessageLoop();
    ShutdownServices();
    return code;
}

repair::ControlServices& Controls() noexcept { return gWindow; }

}  // namespace app
