#include "app/Label_win.h"

namespace app {
namespace {

LRESULT CALLBACK LabelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    switch (msg) {
        case WM_SETFONT:
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(wp));
            if (LOWORD(lp)) InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return GetWindowLongPtrA(hwnd, GWLP_USERDATA);
        case WM_ERASEBKGND:
            return 1;  // nothing of our own behind the text
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            const int saved = SaveDC(dc);
            SetTextColor(dc, RGB(0, 0, 0));  // black unless the parent says otherwise
            SendMessageA(GetParent(hwnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd));
            SetBkMode(dc, TRANSPARENT);
            if (auto font = reinterpret_cast<HFONT>(GetWindowLongPtrA(hwnd, GWLP_USERDATA))) SelectObject(dc, font);
            char caption[256];
            const int length = GetWindowTextA(hwnd, caption, sizeof caption);
            RECT area;
            GetClientRect(hwnd, &area);
            DrawTextA(dc, caption, length, &area, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            RestoreDC(dc, saved);
            EndPaint(hwnd, &ps);
            return 0;
        }
        default:
            return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

}  // namespace

bool RegisterLabelClass(HINSTANCE instance) noexcept {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = LabelProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kLabelClass;
    return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool IsLabel(HWND hwnd) noexcept {
    char name[sizeof kLabelClass + 1];
    return GetClassNameA(hwnd, name, sizeof name) > 0 && lstrcmpA(name, kLabelClass) == 0;
}

}  // namespace app
