// Starting Korvalen.exe as a child process, finding its windows, ending it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Owns one kernel handle; closes it on destruction.
class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept : h_(other.h_) { other.h_ = nullptr; }
    Handle& operator=(Handle&& other) noexcept;
    ~Handle() { reset(); }

    void reset();
    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    HANDLE h_ = nullptr;
};

// A path the build gives (a Unix one under Wine, which shows the Unix root
// as drive Z:) in the form Windows programs take.
std::wstring windowsPathOf(const char* buildPath);

// The exe under test, as a Windows path.
std::wstring korvalenExePath();

// CreateProcessW of `exe` with `commandLine`, handles not inherited; the
// process handle goes to `process`, its id to `pid` (may be null).
bool startProcess(const std::wstring& exe, std::wstring commandLine, Handle* process, DWORD* pid,
                  std::string* error);

// Control ids of the main window.
enum ControlId : int {
    kWidthEdit = 101,
    kWidthUpDown = 102,
    kHeightEdit = 103,
    kModifyButton = 104,
    kWidthLabel = 105,
    kHeightLabel = 106,
};

// One running Korvalen.exe. Every wait is bounded; the destructor ends a
// process that is still running, so a failing test leaves nothing behind.
class KorvalenProcess {
public:
    KorvalenProcess() = default;
    KorvalenProcess(const KorvalenProcess&) = delete;
    KorvalenProcess& operator=(const KorvalenProcess&) = delete;
    ~KorvalenProcess() { terminate(); }

    // Starts the exe and waits until its main window is visible. On failure
    // `error` says why and nothing is left running.
    bool start(DWORD timeoutMs, std::string* error);

    bool running() const;
    DWORD pid() const { return pid_; }
    DWORD uiThread() const { return uiThread_; }
    HWND mainWindow() const { return main_; }
    HWND control(int id) const { return GetDlgItem(main_, id); }

    // Visible top-level windows of the process other than the main window.
    std::vector<HWND> otherWindows() const;

    // Waits for the process to end; false on timeout.
    bool waitForExit(DWORD timeoutMs, DWORD* exitCode);
    // Ends the process if it runs and waits for it (bounded).
    void terminate();

private:
    Handle process_;
    DWORD pid_ = 0;
    DWORD uiThread_ = 0;
    HWND main_ = nullptr;
};
