// Real keyboard and mouse input through SendInput. Keyboard input reaches the
// foreground window only, so every key helper first makes sure `target` is in
// the foreground and fails otherwise.
#pragma once

#include <windows.h>

#include <string>

enum Modifiers : unsigned {
    kNoModifier = 0,
    kShift = 1,
    kCtrl = 2,
    kAlt = 4,
};

// Brings `window` to the foreground (bounded wait); true when it is there.
bool makeForeground(HWND window);

// Presses and releases virtual key `vk` with the given modifiers held.
bool pressKey(HWND target, WORD vk, unsigned modifiers = kNoModifier);

// Types each character as a Unicode key event (KEYEVENTF_UNICODE), the way an
// input method delivers what it composed.
bool typeUnicode(HWND target, const std::wstring& text);

// Puts `ansi` (bytes in this process's ANSI code page) on the clipboard as
// CF_TEXT, as another program would before the user pastes.
bool putTextOnClipboard(const std::string& ansi);

// Moves the mouse to `screen` and clicks the left button there. Every event
// carries the absolute position: Wine loses button events without one.
bool clickAt(POINT screen);
