// What the user is told after a click on 按钮1 has tried to write the file.
#pragma once

#include <windows.h>

#include "config/config_file.h"
#include "config/text.h"
#include "ui/wide_text.h"

// Failed write with Win32 error `code`: one line naming the reason, a line
// break, then `path` (ANSI code page) so the user knows which file it was.
WideText modifyFailureMessage(WriteResult code, const Text& path);

// The success message, or the failure message with a warning icon; modal to
// `owner` (MB_TASKMODAL). Returns when the user has dismissed it.
void showModifyResult(HWND owner, WriteResult result, const Text& path);
