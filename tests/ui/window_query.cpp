#include "tests/ui/window_query.h"

#include <vector>

namespace {

constexpr UINT kAnswerMs = 30000;  // a busy emulated Wine can be slow to answer

bool sendBounded(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR* result) {
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_NORMAL, kAnswerMs, &r)) return false;
    if (result) *result = r;
    return true;
}

struct DialogSearch {
    DWORD pid;
    const std::wstring* caption;
    HWND found;
};

static BOOL CALLBACK findDialogWindow(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->pid || !IsWindowVisible(hwnd)) return TRUE;
    if (windowClass(hwnd) != L"#32770") return TRUE;
    wchar_t caption[256] = {};
    GetWindowTextW(hwnd, caption, 256);
    if (*search->caption != caption) return TRUE;
    search->found = hwnd;
    return FALSE;
}

static BOOL CALLBACK collectChild(HWND hwnd, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

}  // namespace

bool waitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return done();
        Sleep(20);
    }
}

std::wstring windowClass(HWND hwnd) {
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return name;
}

std::wstring windowText(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!sendBounded(hwnd, WM_GETTEXTLENGTH, 0, 0, &length)) return L"<no answer>";
    std::vector<wchar_t> buffer(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!sendBounded(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                     &copied)) {
        return L"<no answer>";
    }
    return std::wstring(buffer.data(), copied);
}

bool setWindowText(HWND hwnd, const std::wstring& text) {
    return sendBounded(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), nullptr);
}

Selection editSelection(HWND edit) {
    DWORD_PTR r = 0;
    if (!sendBounded(edit, EM_GETSEL, 0, 0, &r)) return {-1, -1};
    return {LOWORD(r), HIWORD(r)};
}

bool setEditSelection(HWND edit, int start, int end) {
    return sendBounded(edit, EM_SETSEL, start, end, nullptr);
}

HWND focusOf(DWORD threadId) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(threadId, &info)) return nullptr;
    return info.hwndFocus;
}

RECT rectInClient(HWND child, HWND parent) {
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

POINT pointIn(HWND child, double fx, double fy) {
    RECT r = {};
    GetWindowRect(child, &r);
    return {r.left + static_cast<LONG>((r.right - r.left) * fx),
            r.top + static_cast<LONG>((r.bottom - r.top) * fy)};
}

HWND findDialog(DWORD pid, const std::wstring& caption) {
    DialogSearch search{pid, &caption, nullptr};
    EnumWindows(findDialogWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForDialog(DWORD pid, const std::wstring& caption, DWORD timeoutMs) {
    HWND found = nullptr;
    waitUntil(
        [&] {
            found = findDialog(pid, caption);
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

MessageBoxView inspectMessageBox(HWND box) {
    MessageBoxView view{};
    view.owner = GetWindow(box, GW_OWNER);
    HWND textControl = GetDlgItem(box, 0xFFFF);
    view.text = textControl ? windowText(textControl) : L"<no text control>";
    std::vector<HWND> children;
    EnumChildWindows(box, collectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        if (!IsWindowVisible(child)) continue;
        std::wstring cls = windowClass(child);
        LONG style = GetWindowLongW(child, GWL_STYLE);
        if (cls == L"Static" && (style & SS_TYPEMASK) == SS_ICON) {
            DWORD_PTR icon = 0;
            if (sendBounded(child, STM_GETICON, 0, 0, &icon) && icon) view.hasIcon = true;
        } else if (cls == L"Button") {
            ++view.buttonCount;
            if (GetDlgCtrlID(child) == IDOK) view.okButton = child;
        }
    }
    return view;
}

bool closeButtonPoint(HWND window, POINT* screen) {
    RECT r = {};
    if (!GetWindowRect(window, &r)) return false;
    // Scan the caption bar's middle row from the right for the run of
    // HTCLOSE answers and take its centre.
    int y = r.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    int first = -1, last = -1;
    for (int x = r.right - 1; x >= r.left; --x) {
        DWORD_PTR hit = 0;
        if (!sendBounded(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), &hit)) return false;
        if (hit == HTCLOSE) {
            if (last < 0) last = x;
            first = x;
        } else if (last >= 0) {
            break;
        }
    }
    if (last < 0) return false;
    *screen = {(first + last) / 2, y};
    return true;
}

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr,
                        nullptr);
    return out;
}

std::wstring fromUtf8(const std::string& text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}
