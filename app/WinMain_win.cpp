#include <windows.h>

#include "app/Program_win.h"

// No command line and no show state: the window opens as its description says.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    app::InitializeServices();
    return app::RunProgram();
}
