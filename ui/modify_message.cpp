#include "ui/modify_message.h"

#include <wchar.h>

namespace {

const wchar_t kCaption[] = L"提示";
const wchar_t kSuccess[] = L"修改成功，请重新进入频道";

// The reasons a user can act on; every other code is shown as a number.
const wchar_t* knownReason(WriteResult code) {
    switch (code) {
        case ERROR_PATH_NOT_FOUND:
            return L"修改失败：找不到 YY 的配置文件夹";
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return L"修改失败：配置文件被占用或为只读";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return L"修改失败：磁盘空间不足";
        default:
            return nullptr;
    }
}

// Appends `text` at `line[*length]`; `line` has room for what is put in.
void append(wchar_t* line, size_t* length, const wchar_t* text) {
    while (*text) line[(*length)++] = *text++;
}

// The reason line with its line break, written into `line` (room for 64).
void reasonLine(WriteResult code, wchar_t* line) {
    size_t length = 0;
    if (const wchar_t* reason = knownReason(code)) {
        append(line, &length, reason);
    } else {
        append(line, &length, L"修改失败（错误代码 ");
        wchar_t digits[10];  // a 32-bit code has at most 10 digits
        size_t count = 0;
        do {
            digits[count++] = static_cast<wchar_t>(L'0' + code % 10u);
            code /= 10u;
        } while (code != 0);
        while (count > 0) line[length++] = digits[--count];
        append(line, &length, L"）");
    }
    append(line, &length, L"\n");
    line[length] = L'\0';
}

}  // namespace

WideText modifyFailureMessage(WriteResult code, const Text& path) {
    wchar_t line[64];
    reasonLine(code, line);
    return WideText::join(line, path);
}

void showModifyResult(HWND owner, WriteResult result, const Text& path) {
    if (result == ERROR_SUCCESS) {
        MessageBoxW(owner, kSuccess, kCaption, MB_OK | MB_TASKMODAL);
        return;
    }
    WideText message = modifyFailureMessage(result, path);
    wchar_t line[64];
    if (message.empty()) reasonLine(result, line);  // no memory for the path: the reason alone
    MessageBoxW(owner, message.empty() ? line : message.c_str(), kCaption,
                MB_ICONWARNING | MB_OK | MB_TASKMODAL);
}
