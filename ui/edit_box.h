// Single-line edit boxes: the line centred vertically, and the box's text as
// a Text in the ANSI code page.
#pragma once

#include <windows.h>

#include "config/text.h"

// Subclasses `edit` so its line of text sits in the vertical middle of the
// box: the client area shrinks to one line (the height of "W" in the box's
// font) and the bands above and below are painted white. Recomputed when the
// font is set or the frame changes. Enter and Esc insert nothing.
void centreEditLine(HWND edit);

// The box's whole text as GetWindowTextA gives it; empty when it holds none
// or memory cannot be had.
Text readEditText(HWND edit);
