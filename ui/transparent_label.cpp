#include "ui/transparent_label.h"

#include "ui/device_context.h"

extern const wchar_t kTransparentLabelClass[] = L"KorvalenTransparentLabel";

namespace {

// The font given with WM_SETFONT lives in the window's extra bytes.
constexpr int kFontSlot = 0;

HFONT labelFont(HWND label) { return reinterpret_cast<HFONT>(GetWindowLongPtrW(label, kFontSlot)); }

void paintLabel(HWND label) {
    PaintDC dc(label);
    if (!dc) return;
    // A label holds a word; a longer text is cut, not an error.
    wchar_t text[64];
    int length = GetWindowTextW(label, text, sizeof(text) / sizeof(text[0]));
    RECT area;
    GetClientRect(label, &area);
    SelectedObject font(dc.get(), labelFont(label));
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), RGB(0, 0, 0));
    DrawTextW(dc.get(), text, length, &area, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
}

LRESULT CALLBACK labelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            paintLabel(label);
            return 0;
        case WM_SETFONT:
            SetWindowLongPtrW(label, kFontSlot, static_cast<LONG_PTR>(wParam));
            if (LOWORD(lParam)) InvalidateRect(label, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(labelFont(label));
        case WM_NCHITTEST:
            // The mouse passes through to the edit box or window beneath.
            return HTTRANSPARENT;
        default:
            return DefWindowProcW(label, message, wParam, lParam);
    }
}

}  // namespace

bool registerTransparentLabelClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = labelProc;
    windowClass.cbWndExtra = sizeof(HFONT);
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = nullptr;  // transparent: nothing is erased
    windowClass.lpszClassName = kTransparentLabelClass;
    return RegisterClassExW(&windowClass) != 0;
}
