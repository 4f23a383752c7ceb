#pragma once
#include <cstdint>
#include <span>

// A window as data: the window itself and its controls, with places, texts, flags and the
// events bound to handlers. The shell builds windows from this and dispatches through it.
namespace app {

enum class UnitKind : std::uint8_t { Window, EditBox, Button, TransparentLabel, StatusBar };

// Event numbers of each kind.
inline constexpr int kEventCreated = 0;      // window
inline constexpr int kEventCloseQuery = 1;   // window
inline constexpr int kEventDestroying = 2;   // window
inline constexpr int kEventClicked = 0;      // button
inline constexpr int kEventChanged = 0;      // edit box

using Handler = void (*)();

struct Binding {
    int event;
    Handler handler;
};

struct Rect {
    int left, top, width, height;
};

struct UnitDef {
    UnitKind kind;
    int number;
    const char* name;
    Rect at;  // window: outer frame on screen; control: client coordinates
    const char* text;
    bool tabStop;
    std::span<const Binding> bindings = {};
    bool visible = true;
    bool disabled = false;
    int tabIndex = 0;
};

// units[0] is the window itself; the controls follow in stored order, the first on top.
struct WindowDef {
    int number;
    std::span<const UnitDef> units;
};

bool RaisesEvents(UnitKind kind) noexcept;
const UnitDef* FindUnit(const WindowDef& window, int number) noexcept;
Handler FindHandler(const UnitDef& unit, int event) noexcept;

// The Tab cycle: visible, enabled tab stops by tab index, a later-listed unit first among
// equals. Writes unit indexes into `out` and returns how many there are.
std::size_t TabCycle(const WindowDef& window, std::span<int> out) noexcept;

// Where a window of this outer size is centred on a screen of this size.
struct Point {
    int x, y;
};
Point CentredOrigin(int screenWidth, int screenHeight, int width, int height) noexcept;

}  // namespace app
