// Holds a file open from a process of its own, as the YY client may while
// Korvalen runs, until told to let go:
//   korvalen_file_holder PATH SHARE EVENTS
// SHARE is the share mode as a decimal number. EVENTS names two events that
// the caller has created: EVENTS.held is set once the file is open, and the
// file is closed when EVENTS.release is set.
// Exit codes: 0 released, 2 bad arguments, 3 the file cannot be opened,
// 4 the events cannot be opened, 5 no release within two minutes.
#include <windows.h>

#include <shellapi.h>
#include <wchar.h>

#include <string>

namespace {

constexpr DWORD kLongestHoldMs = 120000;

class OwnedHandle {
public:
    explicit OwnedHandle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    ~OwnedHandle() {
        if (h_) CloseHandle(h_);
    }
    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    HANDLE h_;
};

int hold(const wchar_t* path, DWORD share, const std::wstring& events) {
    OwnedHandle held(OpenEventW(EVENT_MODIFY_STATE, FALSE, (events + L".held").c_str()));
    OwnedHandle release(OpenEventW(SYNCHRONIZE, FALSE, (events + L".release").c_str()));
    if (!held || !release) return 4;
    OwnedHandle file(CreateFileW(path, GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return 3;
    SetEvent(held.get());
    return WaitForSingleObject(release.get(), kLongestHoldMs) == WAIT_OBJECT_0 ? 0 : 5;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 4) return 2;
    wchar_t* end = nullptr;
    DWORD share = wcstoul(argv[2], &end, 10);
    int code = (*end == L'\0') ? hold(argv[1], share, argv[3]) : 2;
    LocalFree(argv);
    return code;
}
