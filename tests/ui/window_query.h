// Reading the state of another process's windows without touching its input.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Polls `done` every 20 ms until it holds or `timeoutMs` has passed; returns
// its last value.
bool waitUntil(const std::function<bool()>& done, DWORD timeoutMs);

std::wstring windowClass(HWND hwnd);

// The window's text through WM_GETTEXT (the system copies the buffer across
// processes). A window that does not answer within 5 s gives "<no answer>".
std::wstring windowText(HWND hwnd);

// Replaces the text with WM_SETTEXT; false if the window does not answer.
bool setWindowText(HWND hwnd, const std::wstring& text);

struct Selection {
    int start;
    int end;
    bool operator==(const Selection& o) const { return start == o.start && end == o.end; }
};
// EM_GETSEL in its returning form (0, 0): no pointers into our memory.
Selection editSelection(HWND edit);
bool setEditSelection(HWND edit, int start, int end);

// The window that has the keyboard focus on another process's thread.
HWND focusOf(DWORD threadId);

// `child`'s outer rectangle in `parent`'s client coordinates.
RECT rectInClient(HWND child, HWND parent);

// Centre of `child`, or a point at fractions of its width and height, in
// screen coordinates.
POINT pointIn(HWND child, double fx = 0.5, double fy = 0.5);

// A dialog box (class "#32770") of process `pid` with caption `caption`,
// visible, or nullptr.
HWND findDialog(DWORD pid, const std::wstring& caption);

// Waits (bounded) for the dialog that findDialog names.
HWND waitForDialog(DWORD pid, const std::wstring& caption, DWORD timeoutMs);

// What a standard message box shows.
struct MessageBoxView {
    std::wstring text;  // the text control (id 0xFFFF)
    HWND owner;         // GetWindow(GW_OWNER)
    bool hasIcon;       // a visible icon control with an icon set
    int buttonCount;    // visible push buttons
    HWND okButton;      // the button with id IDOK, if any
};
MessageBoxView inspectMessageBox(HWND box);

// A point on the caption bar's close button of `window`, found by asking the
// window itself (WM_NCHITTEST); false if there is none.
bool closeButtonPoint(HWND window, POINT* screen);

// UTF-8 form of a wide text, for readable comparisons and messages.
std::string utf8(const std::wstring& text);
// The wide form of a UTF-8 text.
std::wstring fromUtf8(const std::string& text);
