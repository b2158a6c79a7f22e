#include "ui/common_controls.h"

#include <windows.h>

#include <commctrl.h>

namespace {

// Not in every SDK's headers for the oldest targets; the value is fixed.
constexpr DWORD kSearchSystemFolder = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);

// GetProcAddress gives a generic function pointer; the cast through void*
// keeps -Wcast-function-type quiet about the deliberate change of type.
template <typename Function>
Function lookUp(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

void restrictDllSearchToSystemFolder() {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!kernel) return;
    auto setDefaultDllDirectories =
        lookUp<SetDefaultDllDirectoriesFn>(kernel, "SetDefaultDllDirectories");
    if (setDefaultDllDirectories) setDefaultDllDirectories(kSearchSystemFolder);
}

bool loadUpDownControl() {
    static const wchar_t kName[] = L"\\comctl32.dll";
    wchar_t path[MAX_PATH];
    UINT folderLength = GetSystemDirectoryW(path, MAX_PATH);
    if (folderLength == 0 || folderLength + sizeof(kName) / sizeof(kName[0]) > MAX_PATH) {
        return false;
    }
    for (UINT i = 0; i < sizeof(kName) / sizeof(kName[0]); ++i) path[folderLength + i] = kName[i];

    // Never freed: the up-down control's window procedure lives in it.
    HMODULE comctl = LoadLibraryW(path);
    if (!comctl) return false;
    auto initCommonControlsEx = lookUp<InitCommonControlsExFn>(comctl, "InitCommonControlsEx");
    if (!initCommonControlsEx) return false;
    INITCOMMONCONTROLSEX wanted{sizeof(wanted), ICC_UPDOWN_CLASS};
    return initCommonControlsEx(&wanted) != FALSE;
}
