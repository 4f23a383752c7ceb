#pragma once
#include <windows.h>

#include <initializer_list>
#include <string>

// Drives a running program from outside, as a user would: finds its window and controls,
// reads and sets texts, clicks, types real keys, reads message boxes, and collects the
// full 32-bit exit code.
namespace testing_win {

// "Z:\..." for a path of the Linux side, so Wine programs can reach build outputs.
std::string FromEnvironment(const char* name);

class Driver {
public:
    Driver() = default;
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;
    ~Driver();

    // Starts the program with `directory` as its current directory. False when it did not start.
    bool Start(const std::string& exe, const std::string& directory, const std::string& arguments = "");
    // Waits until a visible top-level window of the given class belongs to the process.
    HWND WaitForWindow(const char* windowClass, DWORD timeoutMs = 20000, DWORD pollMs = 20);
    // Waits for a visible dialog box with this caption owned by the process's thread.
    HWND WaitForBox(const char* caption, DWORD timeoutMs = 20000);
    // Exit code once the process has ended, or STILL_ACTIVE on time-out.
    DWORD WaitForExit(DWORD timeoutMs = 20000);
    bool Running() const;
    void Kill();

    HWND main() const { return main_; }
    HWND Control(int id) const { return GetDlgItem(main_, id); }
    HWND Focus() const;
    bool WaitForFocus(HWND control, DWORD timeoutMs = 5000) const;

    static std::string Text(HWND hwnd);
    static void SetText(HWND hwnd, const std::string& text);
    // Panel text of a status bar, read through the target's memory.
    std::string StatusText(HWND bar, int panel) const;
    // Returns when the target has handled the click (and run its handler).
    static void Click(HWND button);
    // Real key presses through the system's input queue, modifiers held around the key.
    void Key(WORD vk, std::initializer_list<WORD> modifiers = {});
    void Activate() const;

private:
    PROCESS_INFORMATION process_ = {};
    HWND main_ = nullptr;
};

}  // namespace testing_win
