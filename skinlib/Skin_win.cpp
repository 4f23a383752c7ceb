// SkinH_EL.dll: dresses the calling thread's windows in a .SHE skin. It answers the colour
// messages, paints window backgrounds, push buttons, edit borders, the status bar and, where
// a window has a caption, its caption and frame. It never changes a window's text, size,
// place, style, focus, keys or clicks: only how it is painted.
#include <windows.h>
#include <commctrl.h>

#include "skinlib/SkinFormat.h"

using skinlib::Skin;
using skinlib::SkinError;

namespace {

constexpr UINT_PTR kSubclassId = 0x51534B4E;  // 'QSKN'

struct Theme {
    Skin skin;
    HBRUSH brushes[skinlib::kColourCount];
};

enum class Kind { Frame, Button, Edit, StatusBar };

struct WindowState {
    Kind kind;
    bool hot;
    bool active;
};

Theme* gTheme = nullptr;
HHOOK gHook = nullptr;

// The subclassing calls, by the ordinals that every comctl32 since 5.8 exports them under
// (older ones and some import libraries lack the names).
using SetSubclassFn = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR);
using GetSubclassFn = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR*);
using RemoveSubclassFn = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR);
using DefSubclassFn = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
SetSubclassFn pSetWindowSubclass = nullptr;
GetSubclassFn pGetWindowSubclass = nullptr;
RemoveSubclassFn pRemoveWindowSubclass = nullptr;
DefSubclassFn pDefSubclassProc = nullptr;

template <class Fn>
Fn Ordinal(HMODULE module, WORD ordinal) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
}

bool LoadSubclassing() {
    if (pDefSubclassProc) return true;
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    if (!comctl) comctl = LoadLibraryA("comctl32.dll");  // kept for the process's life
    if (!comctl) return false;
    pSetWindowSubclass = Ordinal<SetSubclassFn>(comctl, 410);
    pGetWindowSubclass = Ordinal<GetSubclassFn>(comctl, 411);
    pRemoveWindowSubclass = Ordinal<RemoveSubclassFn>(comctl, 412);
    pDefSubclassProc = Ordinal<DefSubclassFn>(comctl, 413);
    return pSetWindowSubclass && pGetWindowSubclass && pRemoveWindowSubclass && pDefSubclassProc;
}

COLORREF Colour(int which) { return gTheme->skin.colours[which]; }
HBRUSH Brush(int which) { return gTheme->brushes[which]; }

void FreeTheme(Theme* theme) {
    if (!theme) return;
    for (HBRUSH brush : theme->brushes)
        if (brush) DeleteObject(brush);
    HeapFree(GetProcessHeap(), 0, theme);
}

Theme* MakeTheme(const Skin& skin) {
    auto* theme = static_cast<Theme*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(Theme)));
    if (!theme) return nullptr;
    theme->skin = skin;
    for (int i = 0; i < skinlib::kColourCount; ++i) {
        theme->brushes[i] = CreateSolidBrush(skin.colours[i]);
        if (!theme->brushes[i]) {
            FreeTheme(theme);
            return nullptr;
        }
    }
    return theme;
}

bool ClassIs(HWND hwnd, const char* name) {
    char cls[64] = {};
    return GetClassNameA(hwnd, cls, sizeof cls) > 0 && lstrcmpiA(cls, name) == 0;
}

bool IsPushButton(HWND hwnd) {
    if (!ClassIs(hwnd, "Button")) return false;
    const auto type = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE)) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

Kind KindOf(HWND hwnd) {
    if (IsPushButton(hwnd)) return Kind::Button;
    if (ClassIs(hwnd, "Edit")) return Kind::Edit;
    if (ClassIs(hwnd, STATUSCLASSNAMEA)) return Kind::StatusBar;
    return Kind::Frame;
}

HFONT FontOf(HWND hwnd) {
    auto font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// Text up to 1 KiB, for painting only.
int TextOf(HWND hwnd, char (&buffer)[1024]) { return GetWindowTextA(hwnd, buffer, sizeof buffer); }

void PaintButton(HWND hwnd, HDC dc, const WindowState& state) {
    RECT r;
    GetClientRect(hwnd, &r);
    const auto buttonState = static_cast<UINT>(SendMessageA(hwnd, BM_GETSTATE, 0, 0));
    const bool pushed = buttonState & BST_PUSHED;
    const bool enabled = IsWindowEnabled(hwnd);
    const bool focused = GetFocus() == hwnd;
    FillRect(dc, &r, Brush(skinlib::kWindowFace));  // what the rounded corners leave
    const int face = !enabled ? skinlib::kButtonFace
                     : pushed ? skinlib::kButtonPressed
                     : state.hot ? skinlib::kButtonHot
                                 : skinlib::kButtonFace;
    const int radius = gTheme->skin.cornerRadius * 2;
    HPEN border = CreatePen(PS_SOLID, 1, Colour(skinlib::kButtonBorder));
    HGDIOBJ oldPen = SelectObject(dc, border);
    HGDIOBJ oldBrush = SelectObject(dc, Brush(face));
    RoundRect(dc, r.left, r.top, r.right, r.bottom, radius, radius);
    if (focused) {  // the keyboard focus: a ring in the accent colour inside the border
        HPEN ring = CreatePen(PS_SOLID, 1, Colour(skinlib::kButtonFocus));
        SelectObject(dc, ring);
        SelectObject(dc, GetStockObject(NULL_BRUSH));
        RoundRect(dc, r.left + 2, r.top + 2, r.right - 2, r.bottom - 2, radius, radius);
        SelectObject(dc, border);
        DeleteObject(ring);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(border);

    char caption[1024];
    const int length = TextOf(hwnd, caption);
    HGDIOBJ oldFont = SelectObject(dc, FontOf(hwnd));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Colour(enabled ? skinlib::kButtonText : skinlib::kDisabledText));
    RECT text = {r.left + 4, r.top + 2, r.right - 4, r.bottom - 2};
    RECT measured = text;
    DrawTextA(dc, caption, length, &measured, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    const int offset = pushed ? 1 : 0;
    const int top = text.top + ((text.bottom - text.top) - (measured.bottom - measured.top)) / 2;
    text = {text.left + offset, top + offset, text.right + offset, top + (measured.bottom - measured.top) + offset};
    DrawTextA(dc, caption, length, &text, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, oldFont);
}

void PaintStatusBar(HWND hwnd, HDC dc) {
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, Brush(skinlib::kStatusFace));
    HGDIOBJ oldFont = SelectObject(dc, FontOf(hwnd));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Colour(skinlib::kStatusText));
    const auto parts = static_cast<int>(SendMessageA(hwnd, SB_GETPARTS, 0, 0));
    for (int i = 0; i < parts && i < 256; ++i) {
        RECT part;
        if (!SendMessageA(hwnd, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&part))) continue;
        FrameRect(dc, &part, Brush(skinlib::kStatusEdge));
        // The length may count characters rather than bytes: room for two bytes each.
        const auto chars = LOWORD(SendMessageA(hwnd, SB_GETTEXTLENGTHA, static_cast<WPARAM>(i), 0));
        const SIZE_T bytes = static_cast<SIZE_T>(chars) * 2 + 2;
        auto* text = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
        if (!text) continue;
        SendMessageA(hwnd, SB_GETTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        text[bytes - 1] = '\0';
        RECT inner = {part.left + 3, part.top + 1, part.right - 3, part.bottom - 1};
        DrawTextA(dc, text, -1, &inner, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        HeapFree(GetProcessHeap(), 0, text);
    }
    SelectObject(dc, oldFont);
}

void PaintEditBorder(HWND hwnd) {
    if (!(GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)) return;
    HDC dc = GetWindowDC(hwnd);
    if (!dc) return;
    RECT r;
    GetWindowRect(hwnd, &r);
    OffsetRect(&r, -r.left, -r.top);
    const int edge = GetSystemMetrics(SM_CXEDGE);
    for (int i = 0; i < edge; ++i) {
        FrameRect(dc, &r, Brush(i == 0 ? skinlib::kEditBorder : skinlib::kEditFace));
        InflateRect(&r, -1, -1);
    }
    ReleaseDC(hwnd, dc);
}

// The caption and frame of a window that has them, over what the system drew.
void PaintCaption(HWND hwnd, bool active) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
    if ((style & WS_CAPTION) != WS_CAPTION || IsIconic(hwnd)) return;
    HDC dc = GetWindowDC(hwnd);
    if (!dc) return;
    RECT window, client;
    GetWindowRect(hwnd, &window);
    GetClientRect(hwnd, &client);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -window.left, -window.top);
    OffsetRect(&window, -window.left, -window.top);
    const int frameX = client.left;
    const int frameY = frameX;
    const int captionHeight = GetSystemMetrics(SM_CYCAPTION) - 1;
    RECT caption = {frameX, frameY, window.right - frameX, frameY + captionHeight};

    const int saved = SaveDC(dc);
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    FillRect(dc, &window, Brush(skinlib::kFrame));
    FillRect(dc, &caption, Brush(active ? skinlib::kCaption : skinlib::kCaptionInactive));

    int textLeft = caption.left + 4;
    auto icon = reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0));
    if (icon && (style & WS_SYSMENU)) {
        DrawIconEx(dc, caption.left + 2, caption.top + (captionHeight - 16) / 2, icon, 16, 16, 0, nullptr, DI_NORMAL);
        textLeft += 18;
    }
    // Close and minimise boxes where the system hit-tests them, drawn as simple glyphs.
    const int box = GetSystemMetrics(SM_CXSIZE) - 2;
    const int boxHeight = captionHeight - 4;
    HPEN pen = CreatePen(PS_SOLID, 2, Colour(skinlib::kCaptionText));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    int right = caption.right - 2;
    if (style & WS_SYSMENU) {
        const RECT close = {right - box, caption.top + 2, right, caption.top + 2 + boxHeight};
        const int inset = boxHeight / 4;
        MoveToEx(dc, close.left + inset + 2, close.top + inset, nullptr);
        LineTo(dc, close.right - inset - 2, close.bottom - inset);
        MoveToEx(dc, close.right - inset - 2, close.top + inset, nullptr);
        LineTo(dc, close.left + inset + 2, close.bottom - inset);
        right = close.left - 2;
        if (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) right -= box;  // the maximise place, kept empty
        if (style & WS_MINIMIZEBOX) {
            const RECT minimise = {right - box, close.top, right, close.bottom};
            MoveToEx(dc, minimise.left + inset + 2, minimise.bottom - inset, nullptr);
            LineTo(dc, minimise.right - inset - 2, minimise.bottom - inset);
            right = minimise.left - 2;
        }
    }
    SelectObject(dc, oldPen);
    DeleteObject(pen);

    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof metrics;
    HFONT font = SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)
                     ? CreateFontIndirectA(&metrics.lfCaptionFont)
                     : nullptr;
    HGDIOBJ oldFont = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    char title[1024];
    const int length = TextOf(hwnd, title);
    RECT text = {textLeft, caption.top, right, caption.bottom};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Colour(skinlib::kCaptionText));
    DrawTextA(dc, title, length, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
    if (font) DeleteObject(font);
    RestoreDC(dc, saved);
    ReleaseDC(hwnd, dc);
}

void RepaintButtonNow(HWND hwnd, const WindowState& state) {
    HDC dc = GetDC(hwnd);
    if (!dc) return;
    PaintButton(hwnd, dc, state);
    ReleaseDC(hwnd, dc);
}

LRESULT CALLBACK SkinProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data) {
    auto* state = reinterpret_cast<WindowState*>(data);
    if (msg == WM_NCDESTROY) {
        pRemoveWindowSubclass(hwnd, SkinProc, id);
        HeapFree(GetProcessHeap(), 0, state);
        return pDefSubclassProc(hwnd, msg, wp, lp);
    }
    if (!gTheme) return pDefSubclassProc(hwnd, msg, wp, lp);
    switch (msg) {
        case WM_CTLCOLOREDIT: {
            auto dc = reinterpret_cast<HDC>(wp);
            SetTextColor(dc, Colour(skinlib::kEditText));
            SetBkColor(dc, Colour(skinlib::kEditFace));
            return reinterpret_cast<LRESULT>(Brush(skinlib::kEditFace));
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG: {
            auto dc = reinterpret_cast<HDC>(wp);
            SetTextColor(dc, Colour(skinlib::kLabelText));
            SetBkColor(dc, Colour(skinlib::kWindowFace));
            return reinterpret_cast<LRESULT>(Brush(skinlib::kWindowFace));
        }
        default:
            break;
    }
    switch (state->kind) {
        case Kind::Frame:
            if (msg == WM_ERASEBKGND) {
                RECT r;
                GetClientRect(hwnd, &r);
                FillRect(reinterpret_cast<HDC>(wp), &r, Brush(skinlib::kWindowFace));
                return 1;
            }
            if (msg == WM_NCPAINT || msg == WM_NCACTIVATE || msg == WM_SETTEXT) {
                if (msg == WM_NCACTIVATE) state->active = wp != FALSE;
                const LRESULT result = pDefSubclassProc(hwnd, msg, wp, lp);
                PaintCaption(hwnd, msg == WM_NCACTIVATE ? wp != FALSE : state->active);
                return result;
            }
            break;
        case Kind::Button:
            switch (msg) {
                case WM_ERASEBKGND:
                    return 1;
                case WM_PAINT:
                case WM_PRINTCLIENT: {
                    PAINTSTRUCT ps;
                    HDC dc = msg == WM_PAINT ? BeginPaint(hwnd, &ps) : reinterpret_cast<HDC>(wp);
                    PaintButton(hwnd, dc, *state);
                    if (msg == WM_PAINT) EndPaint(hwnd, &ps);
                    return 0;
                }
                case WM_MOUSEMOVE:
                    if (!state->hot) {
                        state->hot = true;
                        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, hwnd, 0};
                        TrackMouseEvent(&track);
                    }
                    break;
                case WM_MOUSELEAVE:
                    state->hot = false;
                    break;
                default:
                    break;
            }
            // The system paints a button at once on these, outside WM_PAINT: paint over it.
            if (msg == BM_SETSTATE || msg == BM_SETSTYLE || msg == WM_SETFOCUS || msg == WM_KILLFOCUS ||
                msg == WM_ENABLE || msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP || msg == WM_KEYDOWN ||
                msg == WM_KEYUP || msg == WM_CAPTURECHANGED || msg == WM_SETTEXT || msg == WM_MOUSEMOVE ||
                msg == WM_MOUSELEAVE || msg == WM_UPDATEUISTATE || msg == BM_CLICK) {
                const LRESULT result = pDefSubclassProc(hwnd, msg, wp, lp);
                if (IsWindow(hwnd) && IsWindowVisible(hwnd)) RepaintButtonNow(hwnd, *state);
                return result;
            }
            break;
        case Kind::Edit:
            if (msg == WM_NCPAINT) {
                const LRESULT result = pDefSubclassProc(hwnd, msg, wp, lp);
                PaintEditBorder(hwnd);
                return result;
            }
            break;
        case Kind::StatusBar:
            if (msg == WM_ERASEBKGND) return 1;
            if (msg == WM_PAINT || msg == WM_PRINTCLIENT) {
                PAINTSTRUCT ps;
                HDC dc = msg == WM_PAINT ? BeginPaint(hwnd, &ps) : reinterpret_cast<HDC>(wp);
                PaintStatusBar(hwnd, dc);
                if (msg == WM_PAINT) EndPaint(hwnd, &ps);
                return 0;
            }
            break;
    }
    return pDefSubclassProc(hwnd, msg, wp, lp);
}

void Dress(HWND hwnd) {
    DWORD_PTR existing = 0;
    if (pGetWindowSubclass(hwnd, SkinProc, kSubclassId, &existing)) return;
    auto* state = static_cast<WindowState*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(WindowState)));
    if (!state) return;
    state->kind = KindOf(hwnd);
    state->active = GetActiveWindow() == hwnd;
    if (!pSetWindowSubclass(hwnd, SkinProc, kSubclassId, reinterpret_cast<DWORD_PTR>(state)))
        HeapFree(GetProcessHeap(), 0, state);
}

void Undress(HWND hwnd) {
    DWORD_PTR data = 0;
    if (!pGetWindowSubclass(hwnd, SkinProc, kSubclassId, &data)) return;
    pRemoveWindowSubclass(hwnd, SkinProc, kSubclassId);
    HeapFree(GetProcessHeap(), 0, reinterpret_cast<void*>(data));
}

BOOL CALLBACK DressChild(HWND hwnd, LPARAM) {
    Dress(hwnd);
    return TRUE;
}

BOOL CALLBACK DressTree(HWND hwnd, LPARAM) {
    Dress(hwnd);
    EnumChildWindows(hwnd, DressChild, 0);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return TRUE;
}

BOOL CALLBACK UndressChild(HWND hwnd, LPARAM) {
    Undress(hwnd);
    return TRUE;
}

BOOL CALLBACK UndressTree(HWND hwnd, LPARAM) {
    EnumChildWindows(hwnd, UndressChild, 0);
    Undress(hwnd);
    return TRUE;
}

// Windows made after the attach are dressed as they are created.
LRESULT CALLBACK CbtProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND) Dress(reinterpret_cast<HWND>(wp));
    return CallNextHookEx(gHook, code, wp, lp);
}

}  // namespace

// Attaches the skin in `data` (a .SHE file of `size` bytes) to the calling thread's windows,
// present and future. The other four arguments are reserved. Returns 0, or a SkinError code
// with nothing changed.
extern "C" int __stdcall SkinH_AttachRes(const unsigned char* data, int size, const char* /*password*/, int, int,
                                         int) {
    Skin skin;
    const SkinError parsed = skinlib::ParseSkin(data, size > 0 ? static_cast<std::size_t>(size) : 0, skin);
    if (parsed != SkinError::None) return static_cast<int>(parsed);
    if (!LoadSubclassing()) return static_cast<int>(SkinError::Resources);
    Theme* theme = MakeTheme(skin);
    if (!theme) return static_cast<int>(SkinError::Resources);
    if (!gHook) {
        gHook = SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
        if (!gHook) {
            FreeTheme(theme);
            return static_cast<int>(SkinError::Resources);
        }
    }
    Theme* old = gTheme;
    gTheme = theme;
    EnumThreadWindows(GetCurrentThreadId(), DressTree, 0);
    FreeTheme(old);
    return 0;
}

// Unloaded while the process goes on: no hook or subclass may point into freed code.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && !reserved && pRemoveWindowSubclass) {
        if (gHook) UnhookWindowsHookEx(gHook);
        gHook = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), UndressTree, 0);
        FreeTheme(gTheme);
        gTheme = nullptr;
    }
    return TRUE;
}
