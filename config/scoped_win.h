// Owners for Win32 handles: each handle is released on every path out of the
// scope that holds it, so no function needs a ladder of CloseHandle calls.
#pragma once

#include <windows.h>

// Traits name the value that means "no handle" and the call that releases one:
//   struct Traits {
//       static Handle invalid();
//       static bool release(Handle handle);  // true when the release worked
//   };
template <typename Traits>
class ScopedHandle {
public:
    using Handle = decltype(Traits::invalid());

    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : handle_(handle) {}
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~ScopedHandle() { reset(); }

    Handle get() const { return handle_; }
    bool valid() const { return handle_ != Traits::invalid(); }
    explicit operator bool() const { return valid(); }

    // Gives the handle up without releasing it.
    Handle release() {
        Handle handle = handle_;
        handle_ = Traits::invalid();
        return handle;
    }

    // Releases the held handle, if any, and takes `handle` instead.
    void reset(Handle handle = Traits::invalid()) {
        if (valid()) Traits::release(handle_);
        handle_ = handle;
    }

    // Releases now, for callers that must know whether that worked (closing a
    // file can fail). Holding nothing counts as success.
    bool close() {
        if (!valid()) return true;
        return Traits::release(release());
    }

private:
    Handle handle_ = Traits::invalid();
};

// CreateFile and friends: INVALID_HANDLE_VALUE means none, CloseHandle frees.
struct FileHandleTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static bool release(HANDLE handle) { return CloseHandle(handle) != FALSE; }
};
using ScopedFile = ScopedHandle<FileHandleTraits>;

// FindFirstFile: INVALID_HANDLE_VALUE means none, FindClose frees.
struct FindHandleTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static bool release(HANDLE handle) { return FindClose(handle) != FALSE; }
};
using ScopedFind = ScopedHandle<FindHandleTraits>;
