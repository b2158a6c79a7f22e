#include "ui/layout.h"

#include <commctrl.h>

#include "ui/transparent_label.h"

extern const wchar_t kMainWindowClass[] = L"KorvalenMainWindow";
extern const wchar_t kMainWindowCaption[] = L"Korvalen";

namespace {

constexpr DWORD kEditStyle = WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
// Not BS_DEFPUSHBUTTON: Enter must not press it.
constexpr DWORD kButtonStyle = WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE;

}  // namespace

extern const ControlLayout kControlLayouts[] = {
    // 编辑框1
    {kWidthBoxId, L"EDIT", L"", kEditStyle, WS_EX_CLIENTEDGE, 14, 8, 50, 32, false},
    // No UDS_ styles: no buddy, no arrow keys, no wrapping of its own.
    {kWidthArrowsId, UPDOWN_CLASSW, nullptr, 0, WS_EX_STATICEDGE, 64, 8, 18, 32, true},
    // 编辑框2
    {kHeightBoxId, L"EDIT", L"", kEditStyle, WS_EX_CLIENTEDGE, 14, 40, 66, 32, false},
    // 按钮1
    {kModifyButtonId, L"BUTTON", L"修改", kButtonStyle, 0, 88, 8, 80, 64, false},
    // 透明标签1
    {kWidthLabelId, kTransparentLabelClass, L"宽", 0, WS_EX_TRANSPARENT, 2, 16, 40, 24, false},
    // 透明标签2
    {kHeightLabelId, kTransparentLabelClass, L"高", 0, WS_EX_TRANSPARENT, 2, 48, 40, 24, false},
};
extern const int kControlCount = sizeof(kControlLayouts) / sizeof(kControlLayouts[0]);

extern const ControlId kStackingOrder[] = {
    kHeightLabelId, kWidthLabelId, kModifyButtonId, kHeightBoxId, kWidthBoxId, kWidthArrowsId,
};
extern const int kStackingCount = sizeof(kStackingOrder) / sizeof(kStackingOrder[0]);

extern const ControlId kFocusOrder[] = {kWidthBoxId, kHeightBoxId, kModifyButtonId};
extern const int kFocusCount = sizeof(kFocusOrder) / sizeof(kFocusOrder[0]);
