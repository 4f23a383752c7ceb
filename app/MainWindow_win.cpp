#include "app/MainWindow_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "Texts.h"
#include "app/IconChoice.h"
#include "app/Label_win.h"
#include "app/MainWindowDef.h"
#include "app/resource.h"
#include "services/text/Fatal.h"

namespace app {
namespace {

constexpr char kWindowClass[] = "QuilloryWindow";
constexpr DWORD kFrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

HFONT GuiFont() noexcept { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

HINSTANCE Instance() noexcept { return GetModuleHandleA(nullptr); }

// One line of the box's font, measured on a wide character, plus the sunken edge twice.
int MinimumEditHeight(HWND edit) noexcept {
    HDC dc = GetDC(edit);
    if (!dc) return 0;
    const HGDIOBJ old = SelectObject(dc, GuiFont());
    SIZE extent = {};
    GetTextExtentPoint32A(dc, services::text::kMinHeightSample, 2, &extent);
    SelectObject(dc, old);
    ReleaseDC(edit, dc);
    return extent.cy + 2 * GetSystemMetrics(SM_CYEDGE);
}

}  // namespace

bool MainWindow::RegisterClasses() noexcept {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &MainWindow::Proc;
    wc.hInstance = Instance();
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = kWindowClass;
    return (RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) &&
           RegisterLabelClass(wc.hInstance);
}

bool MainWindow::Create(const WindowDef& def) noexcept {
    if (def.units.empty() || def.units.size() > kMaxUnits || !RegisterClasses()) return false;
    def_ = &def;
    const UnitDef& frame = def.units[0];
    const Point at = CentredOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), frame.at.width,
                                   frame.at.height);
    hwnd_ = CreateWindowExA(0, kWindowClass, frame.text, kFrameStyle | (frame.disabled ? WS_DISABLED : 0), at.x, at.y,
                            frame.at.width, frame.at.height, nullptr, nullptr, Instance(), this);
    if (!hwnd_) return false;
    RECT outer;
    GetWindowRect(hwnd_, &outer);
    if (outer.right - outer.left != frame.at.width || outer.bottom - outer.top != frame.at.height)
        SetWindowPos(hwnd_, nullptr, outer.left, outer.top, frame.at.width, frame.at.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    SetIcons();
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);

    for (std::size_t i = def.units.size(); i-- > 1;) {
        controls_[i] = CreateControl(def.units[i]);
        if (!controls_[i]) return false;
    }
    // Stacking follows the list: the first control on top, each next one just beneath.
    SetWindowPos(controls_[1], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (std::size_t i = 2; i < def.units.size(); ++i)
        SetWindowPos(controls_[i], controls_[i - 1], 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

HWND MainWindow::CreateControl(const UnitDef& unit) noexcept {
    DWORD style = WS_CHILD | (unit.tabStop ? WS_TABSTOP : 0) | (unit.disabled ? WS_DISABLED : 0);
    DWORD exStyle = 0;
    const char* cls = nullptr;
    switch (unit.kind) {
        case UnitKind::EditBox:
            cls = "EDIT";
            style |= ES_LEFT | ES_AUTOHSCROLL;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case UnitKind::Button:
            cls = "BUTTON";
            style |= BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE;
            break;
        case UnitKind::TransparentLabel:
            cls = kLabelClass;
            exStyle = WS_EX_TRANSPARENT;
            break;
        case UnitKind::StatusBar:
            cls = STATUSCLASSNAMEA;
            style |= SBARS_TOOLTIPS | CCS_BOTTOM;  // no size grip: the frame does not size
            break;
        case UnitKind::Window:
            return nullptr;
    }
    const char* text = unit.kind == UnitKind::StatusBar ? "" : unit.text;
    HWND control = CreateWindowExA(exStyle, cls, text, style, unit.at.left, unit.at.top, unit.at.width, unit.at.height,
                                   hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(unit.number)), Instance(),
                                   nullptr);
    if (!control) return nullptr;
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), FALSE);
    if (unit.kind == UnitKind::EditBox) {
        const int minimum = MinimumEditHeight(control);
        if (unit.at.height < minimum)
            SetWindowPos(control, nullptr, 0, 0, unit.at.width, minimum, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageA(control, EM_SETLIMITTEXT, 0, 0);
        SendMessageA(control, EM_SETSEL, 0, 0);
    } else if (unit.kind == UnitKind::StatusBar) {
        SendMessageA(control, SB_SETBKCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_BTNFACE)));
        int edges[kStatusPanelCount] = {kStatusPanelWidth};
        SendMessageA(control, SB_SIMPLE, FALSE, 0);
        SendMessageA(control, SB_SETPARTS, kStatusPanelCount, reinterpret_cast<LPARAM>(edges));
        SendMessageA(control, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(unit.text));  // border style 0: sunken
        SendMessageA(control, SB_SETTIPTEXTA, 0, reinterpret_cast<LPARAM>(""));
        SendMessageA(control, SB_SETICON, 0, 0);
    }
    return control;
}

void MainWindow::SetIcons() noexcept {
    HRSRC found = FindResourceA(Instance(), MAKEINTRESOURCEA(IDI_APP), reinterpret_cast<LPCSTR>(RT_GROUP_ICON));
    HGLOBAL loaded = found ? LoadResource(Instance(), found) : nullptr;
    const auto* group = static_cast<const unsigned char*>(loaded ? LockResource(loaded) : nullptr);
    const std::size_t size = found ? SizeofResource(Instance(), found) : 0;
    const struct {
        int side;
        WPARAM which;
    } kinds[] = {{32, ICON_BIG}, {16, ICON_SMALL}};
    for (const auto& kind : kinds) {
        const auto id = ChooseIconImage(group, size, kind.side);
        if (!id) continue;
        HRSRC image = FindResourceA(Instance(), MAKEINTRESOURCEA(*id), reinterpret_cast<LPCSTR>(RT_ICON));
        HGLOBAL bits = image ? LoadResource(Instance(), image) : nullptr;
        if (!bits) continue;
        // Icons made from resources are shared by the system and need no destroying.
        HICON icon = CreateIconFromResourceEx(static_cast<PBYTE>(LockResource(bits)), SizeofResource(Instance(), image),
                                              TRUE, 0x00030000, kind.side, kind.side, LR_DEFAULTCOLOR);
        if (icon) SendMessageA(hwnd_, WM_SETICON, kind.which, reinterpret_cast<LPARAM>(icon));
    }
}

void MainWindow::ShowControls() noexcept {
    for (std::size_t i = 1; i < def_->units.size(); ++i)
        ShowWindow(controls_[i], def_->units[i].visible ? SW_SHOWNA : SW_HIDE);
}

void MainWindow::Show() noexcept {
    if (IsOpen() && def_->units[0].visible) ShowWindow(hwnd_, SW_SHOWNORMAL);
}

int MainWindow::IndexOf(int number) const noexcept {
    for (std::size_t i = 1; def_ && i < def_->units.size(); ++i)
        if (def_->units[i].number == number) return static_cast<int>(i);
    return -1;
}

bool MainWindow::RouteKey(const MSG& msg) noexcept {
    if (msg.message != WM_KEYDOWN || !IsOpen() || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return false;
    switch (msg.wParam) {
        case VK_TAB:
            MoveFocus(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
            return true;
        case VK_ESCAPE:
            PostMessageA(hwnd_, WM_CLOSE, 0, 0);
            return true;
        default:
            return false;  // Enter and F1 go on to the control, which does nothing with them
    }
}

void MainWindow::MoveFocus(int step) noexcept {
    std::array<int, kMaxUnits> cycle{};
    const auto count = static_cast<int>(TabCycle(*def_, cycle));
    if (count == 0) return;
    const HWND focus = GetFocus();
    int at = -1;
    for (int i = 0; i < count; ++i)
        if (controls_[static_cast<std::size_t>(cycle[static_cast<std::size_t>(i)])] == focus) at = i;
    const int next = at < 0 ? (step > 0 ? 0 : count - 1) : (at + step + count) % count;
    SetFocus(controls_[static_cast<std::size_t>(cycle[static_cast<std::size_t>(next)])]);
}

void MainWindow::RestoreFocus() noexcept {
    if (savedFocus_ && IsWindow(savedFocus_) && IsChild(hwnd_, savedFocus_)) {
        SetFocus(savedFocus_);
        return;
    }
    std::array<int, kMaxUnits> cycle{};
    if (TabCycle(*def_, cycle) > 0) SetFocus(controls_[static_cast<std::size_t>(cycle[0])]);
}

void MainWindow::OnActivate(bool active) noexcept {
    if (active) {
        RestoreFocus();
        return;
    }
    const HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) savedFocus_ = focus;
}

void MainWindow::OnCommand(int id, int code) noexcept {
    const int index = IndexOf(id);
    if (index < 0) return;
    const UnitKind kind = def_->units[static_cast<std::size_t>(index)].kind;
    if (kind == UnitKind::Button && code == BN_CLICKED) {
        shell_.RaiseEvent(def_->number, id, kEventClicked);
    } else if (kind == UnitKind::EditBox && code == EN_CHANGE && !writing_[static_cast<std::size_t>(index)]) {
        shell_.RaiseEvent(def_->number, id, kEventChanged);
    }
}

LRESULT CALLBACK MainWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE)  // CreateWindowExA was given `this`
        SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    return self ? self->OnMessage(hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT MainWindow::OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    switch (msg) {
        case WM_COMMAND:
            OnCommand(LOWORD(wp), HIWORD(wp));
            return 0;
        case WM_ACTIVATE:
            OnActivate(LOWORD(wp) != WA_INACTIVE && !HIWORD(wp));
            return 0;
        case WM_SETFOCUS:
            RestoreFocus();
            return 0;
        case WM_SIZE:
            if (def_ && def_->units.size() > 1 && def_->units[1].kind == UnitKind::StatusBar)
                SendMessageA(controls_[1], WM_SIZE, 0, 0);  // the bar docks itself to the new size
            return 0;
        case WM_SETFONT:
            font_ = reinterpret_cast<HFONT>(wp);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case WM_CTLCOLORSTATIC:
            if (IsLabel(reinterpret_cast<HWND>(lp))) return 0;  // unanswered: the label stays black
            break;
        case WM_CLOSE:
            shell_.RaiseEvent(def_->number, kWindowItself, kEventCloseQuery);
            DestroyWindow(hwnd);
            return 0;
        case WM_QUERYENDSESSION:
            shell_.RaiseEvent(def_->number, kWindowItself, kEventCloseQuery);
            return TRUE;  // agree to end, without asking the user
        case WM_ENDSESSION:
            if (wp && sessionEnded_) sessionEnded_();  // the system ends the process after this
            return 0;
        case WM_DESTROY:
            shell_.RaiseEvent(def_->number, kWindowItself, kEventDestroying);
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            controls_ = {};
            if (shell_.LoopStarted()) PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

std::size_t MainWindow::EditIndex(repair::EditBox box) const noexcept {
    if (!def_) services::RaiseFatal(0, services::text::kWindowNotLoaded);
    static constexpr int kNumbers[] = {kEditBox1, kEditBox2, kEditBox3, kEditBox4};
    const int index = IndexOf(kNumbers[static_cast<int>(box)]);
    if (index < 0 || !controls_[static_cast<std::size_t>(index)])
        services::RaiseFatal(0, services::text::kWindowNotCreated);
    return static_cast<std::size_t>(index);
}

services::Text MainWindow::ReadEditContent(repair::EditBox box) noexcept {
    const HWND edit = controls_[EditIndex(box)];
    const int length = GetWindowTextLengthA(edit);  // may overstate, never understates
    if (length <= 0) return {};
    auto* block = static_cast<char*>(services::AllocateBlock(static_cast<std::size_t>(length) + 1));
    const int got = GetWindowTextA(edit, block, length + 1);
    block[got < 0 ? 0 : got] = '\0';
    services::Text content = services::Text::Adopt(block);
    return got > 0 ? std::move(content) : services::Text();
}

void MainWindow::WriteEditContent(repair::EditBox box, services::TextRef text) noexcept {
    const std::size_t index = EditIndex(box);
    writing_[index] = true;
    SetWindowTextA(controls_[index], text.c_str());
    writing_[index] = false;
    shell_.RaiseEvent(def_->number, def_->units[index].number, kEventChanged);
}

void MainWindow::SetStatusPanelText(std::int32_t panel, services::TextRef text) noexcept {
    if (panel < 0 || panel >= kStatusPanelCount || !def_) return;
    const int index = IndexOf(kStatusBar1);
    if (index < 0 || !controls_[static_cast<std::size_t>(index)]) return;
    // Border style 0 is the sunken panel; the bar keeps the text it shows.
    SendMessageA(controls_[static_cast<std::size_t>(index)], SB_SETTEXTA, static_cast<WPARAM>(panel),
                 reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace app
