#include "tests/ui/file_holder.h"

#ifndef KORVALEN_FILE_HOLDER_EXE
#error "KORVALEN_FILE_HOLDER_EXE must name the built korvalen_file_holder.exe"
#endif

namespace {

constexpr DWORD kHoldMs = 30000;  // a cold Wine process start under qemu takes seconds
constexpr DWORD kEndMs = 10000;

}  // namespace

bool FileHolder::hold(const std::wstring& path, DWORD share, std::string* error) {
    release();
    // Names of their own, so that a holder left by an earlier run never answers.
    static unsigned serial = 0;
    std::wstring events = L"korvalen-file-holder-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                          std::to_wstring(++serial);
    held_ = Handle(CreateEventW(nullptr, TRUE, FALSE, (events + L".held").c_str()));
    release_ = Handle(CreateEventW(nullptr, TRUE, FALSE, (events + L".release").c_str()));
    if (!held_ || !release_) {
        *error = "CreateEvent failed, error " + std::to_string(GetLastError());
        return false;
    }
    std::wstring exe = windowsPathOf(KORVALEN_FILE_HOLDER_EXE);
    std::wstring commandLine =
        L"\"" + exe + L"\" \"" + path + L"\" " + std::to_wstring(share) + L" " + events;
    if (!startProcess(exe, commandLine, &process_, nullptr, error)) return false;

    HANDLE waitFor[] = {held_.get(), process_.get()};
    DWORD woke = WaitForMultipleObjects(2, waitFor, FALSE, kHoldMs);
    if (woke == WAIT_OBJECT_0) return true;
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    *error = woke == WAIT_OBJECT_0 + 1
                 ? "the holder ended without holding the file, exit code " + std::to_string(code)
                 : "the holder did not open the file within the wait";
    release();
    return false;
}

bool FileHolder::release() {
    bool ended = true;
    if (process_) {
        if (release_) SetEvent(release_.get());
        DWORD code = 1;
        ended = WaitForSingleObject(process_.get(), kEndMs) == WAIT_OBJECT_0 &&
                GetExitCodeProcess(process_.get(), &code) && code == 0;
        if (WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.get(), 1);
            WaitForSingleObject(process_.get(), kEndMs);
        }
    }
    process_.reset();
    held_.reset();
    release_.reset();
    return ended;
}
