#include "tests/win/Driver_win.h"

#include <commctrl.h>

#include <cstdlib>
#include <vector>

namespace testing_win {
namespace {

struct Search {
    DWORD pid;
    const char* cls;
    const char* caption;
    HWND found;
};

BOOL CALLBACK Match(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->pid || !IsWindowVisible(hwnd)) return TRUE;
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpA(cls, search->cls) != 0) return TRUE;
    if (search->caption && Driver::Text(hwnd) != search->caption) return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND Poll(DWORD pid, const char* cls, const char* caption, DWORD timeoutMs, DWORD pollMs = 20) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    do {
        Search search = {pid, cls, caption, nullptr};
        EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        Sleep(pollMs);
    } while (GetTickCount64() < end);
    return nullptr;
}

}  // namespace

std::string FromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

Driver::~Driver() {
    Kill();
    if (process_.hProcess) CloseHandle(process_.hProcess);
    if (process_.hThread) CloseHandle(process_.hThread);
}

bool Driver::Start(const std::string& exe, const std::string& directory, const std::string& arguments) {
    std::string commandLine = "\"" + exe + "\"" + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          directory.empty() ? nullptr : directory.c_str(), &startup, &process_) != FALSE;
}

HWND Driver::WaitForWindow(const char* windowClass, DWORD timeoutMs, DWORD pollMs) {
    main_ = Poll(process_.dwProcessId, windowClass, nullptr, timeoutMs, pollMs);
    return main_;
}

HWND Driver::WaitForBox(const char* caption, DWORD timeoutMs) {
    return Poll(process_.dwProcessId, "#32770", caption, timeoutMs);
}

DWORD Driver::WaitForExit(DWORD timeoutMs) {
    if (!process_.hProcess) return STILL_ACTIVE;
    WaitForSingleObject(process_.hProcess, timeoutMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

bool Driver::Running() const {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

void Driver::Kill() {
    if (Running()) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
    }
}

HWND Driver::Focus() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(process_.dwThreadId, &info) ? info.hwndFocus : nullptr;
}

bool Driver::WaitForFocus(HWND control, DWORD timeoutMs) const {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (Focus() != control) {
        if (GetTickCount64() >= end) return false;
        Sleep(10);
    }
    return true;
}

std::string Driver::Text(HWND hwnd) {
    const auto length = static_cast<int>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
    std::string text(static_cast<std::size_t>(length) + 2, '\0');
    const auto got = SendMessageA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return text;
}

void Driver::SetText(HWND hwnd, const std::string& text) {
    SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string Driver::StatusText(HWND bar, int panel) const {
    constexpr SIZE_T kBytes = 4096;
    void* remote = VirtualAllocEx(process_.hProcess, nullptr, kBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote) return "<no memory>";
    // A character count comes back, not bytes: read the whole buffer and cut at the NUL.
    SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(remote));
    std::vector<char> local(kBytes, '\0');
    SIZE_T read = 0;
    ReadProcessMemory(process_.hProcess, remote, local.data(), kBytes, &read);
    VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
    local.back() = '\0';
    return local.data();
}

void Driver::Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }

void Driver::Activate() const {
    SetForegroundWindow(main_);
    SetActiveWindow(main_);
}

void Driver::Key(WORD vk, std::initializer_list<WORD> modifiers) {
    std::vector<INPUT> inputs;
    auto add = [&](WORD key, bool up) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    for (WORD m : modifiers) add(m, false);
    add(vk, false);
    add(vk, true);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) add(*it, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Sleep(30);
}

}  // namespace testing_win
