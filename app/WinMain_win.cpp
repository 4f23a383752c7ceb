#include <windows.h>

#include "app/Program_win.h"
#include "skin/ForeignTable.h"

// No command line and no show state: the window opens as its description says.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    app::InitializeServices(skin::kForeignFunctions);
    return app::RunProgram();
}
