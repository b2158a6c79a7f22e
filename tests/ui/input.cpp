#include "tests/ui/input.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "tests/ui/window_query.h"

namespace {

bool isExtended(WORD vk) {
    switch (vk) {
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_INSERT:
        case VK_DELETE:
            return true;
        default:
            return false;
    }
}

INPUT keyEvent(WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (isExtended(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    return in;
}

bool send(std::vector<INPUT>& events) {
    UINT sent = SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
    return sent == events.size();
}

// The top-level window that owns `target`: that is what must be foreground.
HWND topLevel(HWND target) {
    HWND root = GetAncestor(target, GA_ROOT);
    return root ? root : target;
}

INPUT mouseEvent(POINT screen, DWORD buttonFlags) {
    // Pixel x maps to the normalised 0..65535 range; aim a quarter pixel in
    // so that both rounding and truncation land on x.
    int w = GetSystemMetrics(SM_CXSCREEN);
    int h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((static_cast<long long>(screen.x) * 4 + 1) * 65536 / (4 * w));
    in.mi.dy = static_cast<LONG>((static_cast<long long>(screen.y) * 4 + 1) * 65536 / (4 * h));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttonFlags;
    return in;
}

}  // namespace

bool makeForeground(HWND window) {
    HWND root = topLevel(window);
    if (GetForegroundWindow() == root) return true;
    SetForegroundWindow(root);
    return waitUntil([&] { return GetForegroundWindow() == root; }, 3000);
}

bool pressKey(HWND target, WORD vk, unsigned modifiers) {
    if (!makeForeground(target)) return false;
    std::vector<INPUT> events;
    if (modifiers & kCtrl) events.push_back(keyEvent(VK_CONTROL, false));
    if (modifiers & kAlt) events.push_back(keyEvent(VK_MENU, false));
    if (modifiers & kShift) events.push_back(keyEvent(VK_SHIFT, false));
    events.push_back(keyEvent(vk, false));
    events.push_back(keyEvent(vk, true));
    if (modifiers & kShift) events.push_back(keyEvent(VK_SHIFT, true));
    if (modifiers & kAlt) events.push_back(keyEvent(VK_MENU, true));
    if (modifiers & kCtrl) events.push_back(keyEvent(VK_CONTROL, true));
    return send(events);
}

bool typeUnicode(HWND target, const std::wstring& text) {
    if (!makeForeground(target)) return false;
    std::vector<INPUT> events;
    for (wchar_t ch : text) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wScan = ch;
        in.ki.dwFlags = KEYEVENTF_UNICODE;
        events.push_back(in);
        in.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        events.push_back(in);
    }
    return send(events);
}

bool putTextOnClipboard(const std::string& ansi) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, ansi.size() + 1);
    if (!memory) return false;
    if (char* bytes = static_cast<char*>(GlobalLock(memory))) {
        memcpy(bytes, ansi.c_str(), ansi.size() + 1);
        GlobalUnlock(memory);
    } else {
        GlobalFree(memory);
        return false;
    }
    // Another process may have the clipboard open for a moment.
    if (!waitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 3000)) {
        GlobalFree(memory);
        return false;
    }
    bool put = EmptyClipboard() && SetClipboardData(CF_TEXT, memory);
    if (!put) GlobalFree(memory);  // the clipboard owns it only once it took it
    CloseClipboard();
    return put;
}

bool clickAt(POINT screen) {
    // A second click on the same spot within the double-click time would be
    // a double click, which an edit box does not take as a click (it does
    // not take the focus, for one): wait that time out.
    static POINT lastPoint = {-1000, -1000};
    static DWORD lastTick = 0;
    DWORD pause = GetDoubleClickTime() + 50;
    if (std::abs(screen.x - lastPoint.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
        std::abs(screen.y - lastPoint.y) <= GetSystemMetrics(SM_CYDOUBLECLK)) {
        DWORD since = GetTickCount() - lastTick;
        if (since < pause) Sleep(pause - since);
    }
    std::vector<INPUT> move = {mouseEvent(screen, 0)};
    if (!send(move)) return false;
    // The click only counts where we aimed; a missed move would press
    // whatever lies under the old position.
    POINT at = {};
    if (!waitUntil(
            [&] {
                GetCursorPos(&at);
                return at.x == screen.x && at.y == screen.y;
            },
            2000)) {
        return false;
    }
    std::vector<INPUT> click = {mouseEvent(screen, MOUSEEVENTF_LEFTDOWN),
                                mouseEvent(screen, MOUSEEVENTF_LEFTUP)};
    bool sent = send(click);
    lastPoint = screen;
    lastTick = GetTickCount();
    return sent;
}
