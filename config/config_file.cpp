// The configuration file on the Win32 ANSI API. Paths go to the platform
// unchanged; every handle is owned by a ScopedFile.
#include "config/config_file.h"

// <windows.h> first: <shlobj.h> builds on it.
#include <windows.h>

#include <shlobj.h>
#include <stdlib.h>
#include <string.h>

#include <utility>

#include "config/document.h"
#include "config/scoped_win.h"

namespace {

// Some calls fail without setting an error code; a failure must never read as
// ERROR_SUCCESS.
DWORD lastErrorOr(DWORD fallback) {
    DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : fallback;
}

// The file's length when it is below 2 GiB, found by moving to the end and
// back; -1 when it is larger or cannot be had. The high half of the position
// is asked for only to notice files of 4 GiB and more, whose low half alone
// would pass for a small length.
int32_t fileLength(HANDLE file) {
    DWORD here = SetFilePointer(file, 0, nullptr, FILE_CURRENT);
    if (here == INVALID_SET_FILE_POINTER) return -1;
    LONG high = 0;
    SetLastError(ERROR_SUCCESS);
    DWORD end = SetFilePointer(file, 0, &high, FILE_END);
    if (end == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS) return -1;
    if (SetFilePointer(file, static_cast<LONG>(here), nullptr, FILE_BEGIN) ==
        INVALID_SET_FILE_POINTER) {
        return -1;
    }
    if (high != 0 || end >= 0x80000000u) return -1;
    return static_cast<int32_t>(end);
}

// Bytes of `path` up to and including its last separator: the folder that a
// file put beside it must go to. Walks forward so that the second byte of a
// double-byte character (which can be 0x5C in code page 936) is never taken
// for a backslash.
size_t folderPrefixLength(const Text& path) {
    const char* bytes = path.c_str();
    size_t prefix = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        char c = bytes[i];
        if (c == '\\' || c == '/' || c == ':') {
            prefix = i + 1;
        } else if (IsDBCSLeadByte(static_cast<BYTE>(c)) && i + 1 < path.size()) {
            ++i;
        }
    }
    return prefix;
}

const char kTempPrefix[] = "~kv";
const char kTempSuffix[] = ".tmp";
const DWORD kTempAttempts = 64;

// A file beside the target that exists until it is moved into place; on
// every other path out it is closed and deleted.
class TempFile {
public:
    TempFile() = default;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        file_.reset();
        if (!path_.empty()) DeleteFileA(path_.c_str());
    }

    // Creates a new, unshared file with a name no other file has, in the
    // folder of `target`. Gives the error of the failed creation, if any.
    DWORD create(const Text& target) {
        size_t folder = folderPrefixLength(target);
        size_t length = folder + (sizeof kTempPrefix - 1) + 8 + (sizeof kTempSuffix - 1);
        DWORD unique = GetTickCount() ^ (GetCurrentProcessId() << 16);
        for (DWORD attempt = 0; attempt < kTempAttempts; ++attempt, unique += 0x9E3779B9u) {
            char* name = static_cast<char*>(malloc(length + 1));
            if (!name) return ERROR_NOT_ENOUGH_MEMORY;
            char* out = name;
            memcpy(out, target.c_str(), folder);
            out += folder;
            memcpy(out, kTempPrefix, sizeof kTempPrefix - 1);
            out += sizeof kTempPrefix - 1;
            for (int digit = 7; digit >= 0; --digit) {
                out[digit] = "0123456789abcdef"[(unique >> (4 * (7 - digit))) & 0xF];
            }
            out += 8;
            memcpy(out, kTempSuffix, sizeof kTempSuffix);  // with its zero
            Text candidate = Text::adopt(name, length);

            HANDLE file = CreateFileA(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                file_.reset(file);
                path_ = std::move(candidate);
                return ERROR_SUCCESS;
            }
            DWORD error = lastErrorOr(ERROR_CANNOT_MAKE);
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return error;
        }
        return ERROR_FILE_EXISTS;
    }

    HANDLE handle() const { return file_.get(); }
    const Text& path() const { return path_; }
    bool close() { return file_.close(); }
    // The file has been moved into place: nothing is left to delete.
    void keep() { path_ = Text(); }

private:
    ScopedFile file_;
    Text path_;
};

// Refuses a target that Windows would not let us replace or that the client
// is using: a folder, a read-only file, or a file any other handle holds open.
// Checked here because Wine, running as root, replaces a read-only file, and
// Windows replaces a file whose openers all share delete.
DWORD checkReplaceable(const Text& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = lastErrorOr(ERROR_FILE_NOT_FOUND);
        return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
    }
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) {
        return ERROR_ACCESS_DENIED;
    }
    // An unshared open succeeds only while no one else has the file open.
    ScopedFile probe(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe) return lastErrorOr(ERROR_SHARING_VIOLATION);
    return ERROR_SUCCESS;
}

DWORD writeWhole(HANDLE file, const Text& document) {
    if (document.empty()) return ERROR_SUCCESS;
    DWORD size = static_cast<DWORD>(document.size());
    DWORD written = 0;
    SetLastError(ERROR_SUCCESS);
    if (!WriteFile(file, document.c_str(), size, &written, nullptr) || written != size) {
        return lastErrorOr(ERROR_DISK_FULL);
    }
    return ERROR_SUCCESS;
}

}  // namespace

Text locateVideoConfig() {
    char folder[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, folder, CSIDL_APPDATA, FALSE)) {
        return joinVideoConfigPath(Text());
    }
    return joinVideoConfigPath(Text(folder, sizeof folder));
}

Text readVideoConfig(const Text& path) {
    if (path.empty()) return Text();
    ScopedFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return Text();
    int32_t length = fileLength(file.get());
    if (length <= 0) return Text();
    ByteBuffer bytes;
    if (!bytes.allocate(length)) return Text();
    // One request; a file that shrank meanwhile gives what it still holds.
    DWORD delivered = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(length), &delivered, nullptr)) {
        return Text();
    }
    if (!file.close()) return Text();
    bytes.shrink(static_cast<int32_t>(delivered));
    return bytes.toText();
}

WriteResult writeVideoConfig(const Text& path, const Text& document) {
    if (path.empty()) return ERROR_INVALID_PARAMETER;
    DWORD error = checkReplaceable(path);
    if (error != ERROR_SUCCESS) return error;

    // The document goes whole to a file beside the target and then replaces
    // it in one step, so a failure never leaves a partial or empty file.
    TempFile temp;
    error = temp.create(path);
    if (error != ERROR_SUCCESS) return error;
    error = writeWhole(temp.handle(), document);
    if (error != ERROR_SUCCESS) return error;
    if (!FlushFileBuffers(temp.handle())) return lastErrorOr(ERROR_WRITE_FAULT);
    if (!temp.close()) return lastErrorOr(ERROR_WRITE_FAULT);
    if (!MoveFileExA(temp.path().c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return lastErrorOr(ERROR_ACCESS_DENIED);
    }
    temp.keep();
    return ERROR_SUCCESS;
}
