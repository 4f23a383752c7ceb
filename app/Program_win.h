#pragma once
#include "repair/ControlServices.h"

// The program's start-up, loop and two ends.
namespace app {

// The first step of the process: fatal report, OLE, run directory, foreign functions and
// the window descriptions.
void InitializeServices() noexcept;
// Everything after InitializeServices; returns the exit code of the orderly end.
int RunProgram() noexcept;
// The control services of the main window, for the handlers.
repair::ControlServices& Controls() noexcept;

}  // namespace app
