#include "app/Shell.h"

#include "Texts.h"
#include "services/text/Fatal.h"

namespace app {

void Shell::LoadDescriptions(std::span<const WindowDef> windows) noexcept {
    if (windows.empty()) services::RaiseFatal(0, services::text::kLoadTemplatesFailed);
    windows_ = windows;
}

const WindowDef* Shell::FindDescription(int number) const noexcept {
    for (const WindowDef& window : windows_)
        if (window.number == number) return &window;
    return nullptr;
}

bool Shell::RaiseEvent(int window, int unit, int event) noexcept {
    using namespace services;
    if (EventsHeld()) return false;
    const WindowDef* def = FindDescription(window);
    if (!def || def->units.empty()) RaiseFatal(0, text::kEventWindowNotFound);
    const UnitDef* source = unit == kWindowItself ? &def->units[0] : FindUnit(*def, unit);
    if (!source) RaiseFatal(0, text::kEventUnitNotFound);
    if (!RaisesEvents(source->kind)) RaiseFatal(0, text::kEventUnitInvalid);
    const Handler handler = FindHandler(*source, event);
    if (!handler) return false;
    handler();
    return true;
}

void Shell::RunShutdownRoutineOnce() noexcept {
    const Handler routine = shutdownRoutine_;
    shutdownRoutine_ = nullptr;
    if (routine) routine();
}

}  // namespace app
