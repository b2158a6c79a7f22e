#include "tests/ui/korvalen_process.h"

#include "tests/ui/window_query.h"

#ifndef KORVALEN_EXE
#error "KORVALEN_EXE must name the built Korvalen.exe"
#endif

Handle& Handle::operator=(Handle&& other) noexcept {
    if (this != &other) {
        reset();
        h_ = other.h_;
        other.h_ = nullptr;
    }
    return *this;
}

void Handle::reset() {
    if (h_) CloseHandle(h_);
    h_ = nullptr;
}

std::wstring windowsPathOf(const char* buildPath) {
    std::wstring path;
    if (buildPath[0] == '/') path = L"Z:";
    for (const char* p = buildPath; *p; ++p) {
        path += static_cast<wchar_t>(*p == '/' ? '\\' : static_cast<unsigned char>(*p));
    }
    return path;
}

std::wstring korvalenExePath() { return windowsPathOf(KORVALEN_EXE); }

namespace {

struct MainSearch {
    DWORD pid;
    HWND found;
};

static BOOL CALLBACK findMainWindow(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<MainSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && windowClass(hwnd) == L"KorvalenMainWindow" && IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

struct OtherSearch {
    DWORD pid;
    HWND main;
    std::vector<HWND>* found;
};

static BOOL CALLBACK findOtherWindows(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<OtherSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && hwnd != search->main && IsWindowVisible(hwnd)) {
        search->found->push_back(hwnd);
    }
    return TRUE;
}

}  // namespace

bool startProcess(const std::wstring& exe, std::wstring commandLine, Handle* process, DWORD* pid,
                  std::string* error) {
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi)) {
        *error = "CreateProcess of " + std::string(exe.begin(), exe.end()) + " failed, error " +
                 std::to_string(GetLastError());
        return false;
    }
    CloseHandle(pi.hThread);
    *process = Handle(pi.hProcess);
    if (pid) *pid = pi.dwProcessId;
    return true;
}

bool KorvalenProcess::start(DWORD timeoutMs, std::string* error) {
    terminate();
    std::wstring exe = korvalenExePath();
    if (!startProcess(exe, L"\"" + exe + L"\"", &process_, &pid_, error)) return false;

    MainSearch search{pid_, nullptr};
    bool ok = waitUntil(
        [&] {
            if (!running()) return true;
            EnumWindows(findMainWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    if (!ok || !search.found) {
        DWORD code = 0;
        GetExitCodeProcess(process_.get(), &code);
        *error = running() ? "no visible KorvalenMainWindow within the wait"
                           : "Korvalen.exe ended before showing its window, exit code " +
                                 std::to_string(static_cast<long>(code));
        terminate();
        return false;
    }
    main_ = search.found;
    uiThread_ = GetWindowThreadProcessId(main_, nullptr);
    return true;
}

bool KorvalenProcess::running() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::vector<HWND> KorvalenProcess::otherWindows() const {
    std::vector<HWND> found;
    if (!running()) return found;
    OtherSearch search{pid_, main_, &found};
    EnumWindows(findOtherWindows, reinterpret_cast<LPARAM>(&search));
    return found;
}

bool KorvalenProcess::waitForExit(DWORD timeoutMs, DWORD* exitCode) {
    if (!process_) return false;
    if (WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(process_.get(), exitCode);
    return true;
}

void KorvalenProcess::terminate() {
    if (running()) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 10000);
    }
    process_.reset();
    pid_ = 0;
    uiThread_ = 0;
    main_ = nullptr;
}
