#include "ui/edit_box.h"

#include <stdlib.h>

#include "ui/device_context.h"

namespace {

// The edit class's own procedure, kept in the box's user data (which the
// edit class leaves to the application).
WNDPROC originalProc(HWND edit) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_USERDATA));
}

int lineHeight(HWND edit) {
    WindowDC dc(edit, WindowDC::kClientArea);
    if (!dc) return 0;
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0));
    SelectedObject selected(dc.get(), font);
    SIZE size{};
    if (!GetTextExtentPoint32W(dc.get(), L"W", 1, &size)) return 0;
    return size.cy;
}

// `area` is the inside of the border; it becomes the one line in its middle.
// A box too low for the line keeps the whole area.
void centreLineIn(RECT& area, int line) {
    int height = area.bottom - area.top;
    if (line <= 0 || line >= height) return;
    area.top += (height - line) / 2;
    area.bottom = area.top + line;
}

// The client area keeps the full inner width, so its left edge tells the
// border's thickness; the bands fill the rest of the inside above and below.
void paintBands(HWND edit) {
    RECT window;
    GetWindowRect(edit, &window);
    RECT client;
    GetClientRect(edit, &client);
    MapWindowPoints(edit, nullptr, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -window.left, -window.top);
    int border = client.left;
    int windowHeight = window.bottom - window.top;
    RECT above = {client.left, border, client.right, client.top};
    RECT below = {client.left, client.bottom, client.right, windowHeight - border};

    WindowDC dc(edit, WindowDC::kWholeWindow);
    if (!dc) return;
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    if (above.bottom > above.top) FillRect(dc.get(), &above, white);
    if (below.bottom > below.top) FillRect(dc.get(), &below, white);
}

void recomputeFrame(HWND edit) {
    SetWindowPos(edit, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RedrawWindow(edit, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
}

LRESULT CALLBACK centredEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC original = originalProc(edit);
    switch (message) {
        case WM_NCCALCSIZE: {
            LRESULT result = CallWindowProcW(original, edit, message, wParam, lParam);
            RECT* area = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                                : reinterpret_cast<RECT*>(lParam);
            centreLineIn(*area, lineHeight(edit));
            return result;
        }
        case WM_NCPAINT: {
            LRESULT result = CallWindowProcW(original, edit, message, wParam, lParam);
            paintBands(edit);
            return result;
        }
        case WM_SETFONT: {
            LRESULT result = CallWindowProcW(original, edit, message, wParam, lParam);
            recomputeFrame(edit);
            return result;
        }
        case WM_CHAR:
            // A single-line box has no use for these; swallowed so Windows'
            // edit does not beep.
            if (wParam == '\r' || wParam == '\n' || wParam == VK_ESCAPE) return 0;
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
            SetWindowLongPtrW(edit, GWLP_USERDATA, 0);
            break;
        default:
            break;
    }
    return CallWindowProcW(original, edit, message, wParam, lParam);
}

}  // namespace

void centreEditLine(HWND edit) {
    LONG_PTR original = GetWindowLongPtrW(edit, GWLP_WNDPROC);
    SetWindowLongPtrW(edit, GWLP_USERDATA, original);
    SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(centredEditProc));
    recomputeFrame(edit);
}

Text readEditText(HWND edit) {
    int length = GetWindowTextLengthA(edit);
    if (length <= 0) return Text();
    char* buffer = static_cast<char*>(malloc(static_cast<size_t>(length) + 1));
    if (!buffer) return Text();
    int copied = GetWindowTextA(edit, buffer, length + 1);
    if (copied < 0) copied = 0;
    buffer[copied] = '\0';
    // Text takes the buffer over and frees it.
    return Text::adopt(buffer, static_cast<size_t>(copied));
}
