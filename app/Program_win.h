#pragma once
#include <span>

#include "repair/ControlServices.h"
#include "services/foreign/Foreign.h"

// The program's start-up, loop and two ends.
namespace app {

// The first step of the process: fatal report, OLE, run directory, the table of foreign
// functions (every entry unresolved) and the window descriptions.
void InitializeServices(std::span<const services::ForeignFunction> foreignFunctions) noexcept;
// The services' part of an orderly end: events held for good, descriptions released, the
// shutdown routine run once, foreign libraries released, OLE uninitialised.
void ShutdownServices() noexcept;
// Everything after InitializeServices; returns the exit code of the orderly end.
int RunProgram() noexcept;
// The control services of the main window, for the handlers.
repair::ControlServices& Controls() noexcept;

}  // namespace app
