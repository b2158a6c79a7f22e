// MainWindow: Korvalen's one window and its five controls.
#pragma once

#include <windows.h>

#include "config/text.h"

// The three bound events; nothing else of the window reaches a handler.
struct MainWindowEvents {
    void (*created)();           // MainWindow: once, after creation, still hidden
    void (*widthTextChanged)();  // 编辑框1: text changed
    void (*modifyClicked)();     // 按钮1: clicked
};

class MainWindow {
public:
    struct Controls {
        HWND 编辑框1 = nullptr;      // width
        HWND widthArrows = nullptr;  // up-down arrows of 编辑框1; may be missing
        HWND 编辑框2 = nullptr;      // height
        HWND 按钮1 = nullptr;        // "修改"
        HWND 透明标签1 = nullptr;    // "宽"
        HWND 透明标签2 = nullptr;    // "高"
    };

    // Builds the window and its controls, hidden and centred on the primary
    // screen, then delivers the created event. No event is delivered while
    // building. False when the window or one of its controls (other than the
    // arrows) could not be created; nothing is left behind then.
    bool create(HINSTANCE instance, const MainWindowEvents& events);

    // Shows the window as a normal, active window; the focus goes to 编辑框1.
    void show();

    HWND hwnd() const { return hwnd_; }
    const Controls& controls() const { return controls_; }

    // The box's whole text in the ANSI code page.
    Text readText(HWND box) const;

    // Puts `text` into the box. Delivers the box's text-changed event exactly
    // once, inside the write, whether or not the text changed.
    void writeText(HWND box, const Text& text);

    // Keys the window handles before the focused control sees them (Esc, Tab,
    // Shift+Tab). True when `message` was used up and must not be dispatched.
    bool handleKey(const MSG& message);

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    bool registerClass(HINSTANCE instance);
    bool createControls(HINSTANCE instance);
    void onCommand(WORD id, WORD code);
    LRESULT onNotify(const NMHDR* header, LPARAM lParam);
    void onActivate(WPARAM wParam);
    void onDestroy();
    LRESULT onControlColour(HDC dc);

    void stepWidth(bool up);
    void deliverTextChanged(HWND box);
    void moveFocus(bool backwards);
    void restoreFocus();
    HWND control(int id) const;

    HWND hwnd_ = nullptr;
    Controls controls_;
    MainWindowEvents events_{};
    bool eventsOn_ = false;           // off while building and from WM_DESTROY on
    HWND boxBeingWritten_ = nullptr;  // its EN_CHANGE comes from our own write
    HWND focusOnDeactivate_ = nullptr;
};
