#pragma once
#include <windows.h>

// The transparent label: a window class of our own that paints only its caption, so the
// parent's background shows through.
namespace app {

inline constexpr char kLabelClass[] = "QuilloryLabel";

bool RegisterLabelClass(HINSTANCE instance) noexcept;
bool IsLabel(HWND hwnd) noexcept;

}  // namespace app
