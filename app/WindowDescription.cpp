#include "app/WindowDescription.h"

namespace app {

bool RaisesEvents(UnitKind kind) noexcept {
    switch (kind) {
        case UnitKind::Window:
        case UnitKind::EditBox:
        case UnitKind::Button:
        case UnitKind::TransparentLabel:
        case UnitKind::StatusBar:
            return true;
    }
    return false;  // a kind the description does not know
}

const UnitDef* FindUnit(const WindowDef& window, int number) noexcept {
    for (const UnitDef& unit : window.units.subspan(window.units.empty() ? 0 : 1))
        if (unit.number == number) return &unit;
    return nullptr;
}

Handler FindHandler(const UnitDef& unit, int event) noexcept {
    for (const Binding& binding : unit.bindings)
        if (binding.event == event) return binding.handler;
    return nullptr;
}

std::size_t TabCycle(const WindowDef& window, std::span<int> out) noexcept {
    std::size_t count = 0;
    // Walking the list backwards makes the later-listed unit come first among equals.
    for (std::size_t i = window.units.size(); i-- > 1 && count < out.size();) {
        const UnitDef& unit = window.units[i];
        if (unit.tabStop && unit.visible && !unit.disabled) out[count++] = static_cast<int>(i);
    }
    // A stable insertion sort by tab index: a dozen units, and no buffer to allocate.
    const auto tabIndex = [&](int unit) { return window.units[static_cast<std::size_t>(unit)].tabIndex; };
    for (std::size_t i = 1; i < count; ++i) {
        const int unit = out[i];
        std::size_t j = i;
        for (; j > 0 && tabIndex(out[j - 1]) > tabIndex(unit); --j) out[j] = out[j - 1];
        out[j] = unit;
    }
    return count;
}

Point CentredOrigin(int screenWidth, int screenHeight, int width, int height) noexcept {
    return {(screenWidth - width) / 2, (screenHeight - height) / 2};  // C++ division truncates toward zero
}

}  // namespace app
