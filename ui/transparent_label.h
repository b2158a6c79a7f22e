// A label that draws its text and nothing else, so whatever lies beneath its
// rectangle (the window's background, part of an edit box) stays visible.
#pragma once

#include <windows.h>

extern const wchar_t kTransparentLabelClass[];

// Registers the label class (no background brush). Create labels with
// WS_EX_TRANSPARENT so the windows beneath are painted first.
bool registerTransparentLabelClass(HINSTANCE instance);
