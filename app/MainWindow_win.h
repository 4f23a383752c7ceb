#pragma once
#include <windows.h>

#include <array>

#include "app/Shell.h"
#include "repair/ControlServices.h"

// The main window built from its description, its keyboard rules, and the control
// services the handlers use.
namespace app {

class MainWindow final : public repair::ControlServices {
public:
    static constexpr std::size_t kMaxUnits = 16;

    // `sessionEnded` runs when Windows ends the session while the window is open.
    constexpr MainWindow(Shell& shell, void (*sessionEnded)() noexcept) noexcept
        : shell_(shell), sessionEnded_(sessionEnded) {}

    // Creates the window and every control hidden. False when any of them cannot be made.
    bool Create(const WindowDef& def) noexcept;
    void ShowControls() noexcept;
    void Show() noexcept;
    HWND hwnd() const noexcept { return hwnd_; }
    bool IsOpen() const noexcept { return hwnd_ && IsWindow(hwnd_); }

    // Tab, Shift+Tab and Esc, before the message is dispatched; true when it was consumed.
    bool RouteKey(const MSG& msg) noexcept;

    services::Text ReadEditContent(repair::EditBox box) noexcept override;
    void WriteEditContent(repair::EditBox box, services::TextRef text) noexcept override;
    void SetStatusPanelText(std::int32_t panel, services::TextRef text) noexcept override;

private:
    static bool RegisterClasses() noexcept;
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    void OnCommand(int id, int code) noexcept;
    void OnActivate(bool active) noexcept;
    void RestoreFocus() noexcept;
    void MoveFocus(int step) noexcept;
    HWND CreateControl(const UnitDef& unit) noexcept;
    void SetIcons() noexcept;
    int IndexOf(int number) const noexcept;
    std::size_t EditIndex(repair::EditBox box) const noexcept;

    Shell& shell_;
    void (*sessionEnded_)() noexcept;
    const WindowDef* def_ = nullptr;
    HWND hwnd_ = nullptr;
    std::array<HWND, kMaxUnits> controls_ = {};  // by unit index; [0] unused
    std::array<bool, kMaxUnits> writing_ = {};   // a box being written raises no change event
    HWND savedFocus_ = nullptr;
    HFONT font_ = nullptr;
};

}  // namespace app
