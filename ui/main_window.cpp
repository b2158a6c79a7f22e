#include "ui/main_window.h"

#include <commctrl.h>

#include "config/scoped_win.h"
#include "ui/common_controls.h"
#include "ui/edit_box.h"
#include "ui/layout.h"
#include "ui/transparent_label.h"
#include "ui/width_stepping.h"

namespace {

constexpr int kIconResource = 1;

// Destroys a window that did not get finished.
struct WindowTraits {
    static HWND invalid() { return nullptr; }
    static bool release(HWND window) { return DestroyWindow(window) != FALSE; }
};
using ScopedWindow = ScopedHandle<WindowTraits>;

// Icons loaded LR_SHARED belong to the system; nothing to free.
HICON applicationIcon(HINSTANCE instance, int sizeMetricX, int sizeMetricY) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                         GetSystemMetrics(sizeMetricX),
                                         GetSystemMetrics(sizeMetricY), LR_SHARED));
}

HWND createControl(HWND parent, HINSTANCE instance, const ControlLayout& layout) {
    return CreateWindowExW(layout.exStyle, layout.className, layout.text, WS_CHILD | layout.style,
                           layout.left, layout.top, layout.width, layout.height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), instance,
                           nullptr);
}

bool canTakeFocus(HWND control) {
    return control && IsWindowVisible(control) && IsWindowEnabled(control);
}

}  // namespace

// ---------------------------------------------------------------- building

bool MainWindow::registerClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = applicationIcon(instance, SM_CXICON, SM_CYICON);
    windowClass.hIconSm = applicationIcon(instance, SM_CXSMICON, SM_CYSMICON);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kMainWindowClass;
    return RegisterClassExW(&windowClass) != 0;
}

bool MainWindow::create(HINSTANCE instance, const MainWindowEvents& events) {
    events_ = events;
    eventsOn_ = false;
    if (!registerClass(instance) || !registerTransparentLabelClass(instance)) return false;

    // Centred on the whole primary screen, taskbar included; the division
    // truncates toward zero as C's does.
    int left = (GetSystemMetrics(SM_CXSCREEN) - kMainWindowWidth) / 2;
    int top = (GetSystemMetrics(SM_CYSCREEN) - kMainWindowHeight) / 2;
    ScopedWindow window(CreateWindowExW(0, kMainWindowClass, kMainWindowCaption, kMainWindowStyle,
                                        left, top, kMainWindowWidth, kMainWindowHeight, nullptr,
                                        nullptr, instance, this));
    if (!window) return false;

    RECT outer;
    GetWindowRect(hwnd_, &outer);
    if (outer.left != left || outer.top != top || outer.right - outer.left != kMainWindowWidth ||
        outer.bottom - outer.top != kMainWindowHeight) {
        SetWindowPos(hwnd_, nullptr, left, top, kMainWindowWidth, kMainWindowHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The class icons show; WM_SETICON makes them the window's own as well.
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(applicationIcon(instance, SM_CXICON, SM_CYICON)));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(applicationIcon(instance, SM_CXSMICON, SM_CYSMICON)));

    if (!createControls(instance)) return false;  // `window` destroys the half-built window

    window.release();
    eventsOn_ = true;
    events_.created();
    return true;
}

bool MainWindow::createControls(HINSTANCE instance) {
    bool haveArrows = loadUpDownControl();
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    for (int i = 0; i < kControlCount; ++i) {
        const ControlLayout& layout = kControlLayouts[i];
        if (layout.id == kWidthArrowsId && !haveArrows) continue;
        HWND made = createControl(hwnd_, instance, layout);
        if (!made) {
            if (layout.optional) continue;
            return false;
        }
        switch (layout.id) {
            case kWidthBoxId:
            case kHeightBoxId:
                centreEditLine(made);
                SendMessageW(made, EM_LIMITTEXT, 0, 0);  // no limit on what is typed
                break;
            case kWidthArrowsId:
                // Windows makes a vertical up-down as wide as it likes (Wine
                // 16 pixels); the layout's rectangle wins.
                SetWindowPos(made, nullptr, layout.left, layout.top, layout.width, layout.height,
                             SWP_NOZORDER | SWP_NOACTIVATE);
                SendMessageW(made, UDM_SETRANGE32, kWidthStepLowest, kWidthStepHighest);
                // The box holds the number, not the arrows: their own position
                // stays mid-range so neither end ever stops them reporting.
                SendMessageW(made, UDM_SETPOS32, 0, (kWidthStepLowest + kWidthStepHighest) / 2);
                break;
            default:
                break;
        }
        SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    controls_.编辑框1 = control(kWidthBoxId);
    controls_.widthArrows = control(kWidthArrowsId);
    controls_.编辑框2 = control(kHeightBoxId);
    controls_.按钮1 = control(kModifyButtonId);
    controls_.透明标签1 = control(kWidthLabelId);
    controls_.透明标签2 = control(kHeightLabelId);

    HWND above = HWND_TOP;
    for (int i = 0; i < kStackingCount; ++i) {
        HWND child = control(kStackingOrder[i]);
        if (!child) continue;
        SetWindowPos(child, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        above = child;
    }
    for (int i = 0; i < kControlCount; ++i) {
        if (HWND child = control(kControlLayouts[i].id)) ShowWindow(child, SW_SHOWNA);
    }
    return true;
}

void MainWindow::show() { ShowWindow(hwnd_, SW_SHOW); }

HWND MainWindow::control(int id) const { return GetDlgItem(hwnd_, id); }

// ---------------------------------------------------------------- boxes

Text MainWindow::readText(HWND box) const { return readEditText(box); }

void MainWindow::writeText(HWND box, const Text& text) {
    // Whether WM_SETTEXT sends EN_CHANGE, and whether only for a real change,
    // differs between systems: the write's own notice is ignored and the
    // event delivered here, once.
    HWND outer = boxBeingWritten_;
    boxBeingWritten_ = box;
    SetWindowTextA(box, text.c_str());
    boxBeingWritten_ = outer;
    deliverTextChanged(box);
}

void MainWindow::deliverTextChanged(HWND box) {
    if (eventsOn_ && box == controls_.编辑框1) events_.widthTextChanged();
}

void MainWindow::stepWidth(bool up) {
    HWND box = controls_.编辑框1;
    writeText(box, steppedWidthText(readText(box), up));
    SendMessageW(box, EM_SETSEL, 0, -1);
    SendMessageW(box, EM_SCROLLCARET, 0, 0);
    SetFocus(box);
}

// ---------------------------------------------------------------- focus and keys

void MainWindow::moveFocus(bool backwards) {
    HWND order[kFocusCount];
    int current = -1;
    HWND focus = GetFocus();
    for (int i = 0; i < kFocusCount; ++i) {
        order[i] = control(kFocusOrder[i]);
        if (order[i] && order[i] == focus) current = i;
    }
    // From outside the order, Tab starts at its first control, Shift+Tab at its last.
    if (current < 0) current = backwards ? 0 : kFocusCount - 1;
    for (int step = 1; step <= kFocusCount; ++step) {
        int next = (current + (backwards ? kFocusCount - step : step)) % kFocusCount;
        if (canTakeFocus(order[next])) {
            // SetFocus, not WM_NEXTDLGCTL: entering a box selects nothing.
            SetFocus(order[next]);
            return;
        }
    }
}

void MainWindow::restoreFocus() {
    HWND target = focusOnDeactivate_;
    if (!target || !IsWindow(target) || !IsChild(hwnd_, target) || !canTakeFocus(target)) {
        target = nullptr;
        for (int i = 0; i < kFocusCount && !target; ++i) {
            HWND candidate = control(kFocusOrder[i]);
            if (canTakeFocus(candidate)) target = candidate;
        }
    }
    if (target) SetFocus(target);
}

bool MainWindow::handleKey(const MSG& message) {
    if (message.message != WM_KEYDOWN || !hwnd_) return false;
    if (message.hwnd != hwnd_ && !IsChild(hwnd_, message.hwnd)) return false;
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool alt = GetKeyState(VK_MENU) < 0;
    switch (message.wParam) {
        case VK_ESCAPE:
            if (ctrl || shift || alt) return false;
            SendMessageW(hwnd_, WM_CLOSE, 0, 0);
            return true;
        case VK_TAB:
            if (ctrl || alt) return false;
            moveFocus(shift);
            return true;
        default:
            // Enter goes on to the control (no default button); arrows move
            // the caret, never the focus.
            return false;
    }
}

// ---------------------------------------------------------------- messages

LRESULT CALLBACK MainWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MainWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        auto* creation = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<MainWindow*>(creation->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->handleMessage(message, wParam, lParam);
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            onCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_NOTIFY:
            return onNotify(reinterpret_cast<const NMHDR*>(lParam), lParam);
        case WM_CTLCOLOREDIT:
            return onControlColour(reinterpret_cast<HDC>(wParam));
        case WM_ACTIVATE:
            onActivate(wParam);
            return 0;
        case WM_SETFOCUS:
            // Restored from minimized, or focus given to the window itself.
            restoreFocus();
            return 0;
        case WM_DESTROY:
            onDestroy();
            return 0;
        case WM_NCDESTROY: {
            HWND hwnd = hwnd_;
            hwnd_ = nullptr;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
        default:
            return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

void MainWindow::onCommand(WORD id, WORD code) {
    if (!eventsOn_) return;
    if (id == kWidthBoxId && code == EN_CHANGE) {
        if (controls_.编辑框1 != boxBeingWritten_) deliverTextChanged(controls_.编辑框1);
    } else if (id == kModifyButtonId && code == BN_CLICKED) {
        events_.modifyClicked();
    }
}

LRESULT MainWindow::onNotify(const NMHDR* header, LPARAM lParam) {
    if (header->idFrom == kWidthArrowsId && header->code == UDN_DELTAPOS) {
        // Always a step of 1, whatever the arrows' acceleration reports.
        int delta = reinterpret_cast<const NMUPDOWN*>(lParam)->iDelta;
        if (eventsOn_ && delta != 0) stepWidth(delta > 0);
        return TRUE;  // the arrows keep their own position
    }
    return 0;
}

void MainWindow::onActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) focusOnDeactivate_ = focus;
    } else {
        // Also when activated minimized, as the dialog manager does, so the
        // focus is in place once the window is restored.
        restoreFocus();
    }
}

LRESULT MainWindow::onControlColour(HDC dc) {
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

void MainWindow::onDestroy() {
    eventsOn_ = false;
    PostQuitMessage(0);
}
