// The one table of Korvalen's window: its class, caption and size, and the
// id, class, text, styles and rectangle of every control.
#pragma once

#include <windows.h>

// Window class and caption; the end-to-end tests find the window by both.
extern const wchar_t kMainWindowClass[];
extern const wchar_t kMainWindowCaption[];

// Outer size, frame and caption bar included.
constexpr int kMainWindowWidth = 179;
constexpr int kMainWindowHeight = 108;
constexpr DWORD kMainWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// Control ids (GetDlgCtrlID); the end-to-end tests rely on these numbers.
enum ControlId : int {
    kWidthBoxId = 101,      // 编辑框1
    kWidthArrowsId = 102,   // the up-down arrows of 编辑框1
    kHeightBoxId = 103,     // 编辑框2
    kModifyButtonId = 104,  // 按钮1
    kWidthLabelId = 105,    // 透明标签1
    kHeightLabelId = 106,   // 透明标签2
};

struct ControlLayout {
    ControlId id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;  // WS_CHILD is added; every control starts hidden
    DWORD exStyle;
    int left, top, width, height;  // client coordinates, border included
    bool optional;                 // the window works without it
};

// In creation order.
extern const ControlLayout kControlLayouts[];
extern const int kControlCount;

// Stacking order, topmost first. The arrows stay right below their box.
extern const ControlId kStackingOrder[];
extern const int kStackingCount;

// Focus order for Tab; the labels and the arrows never take the focus.
extern const ControlId kFocusOrder[];
extern const int kFocusCount;
