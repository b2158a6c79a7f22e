// A file held open by another process (korvalen_file_holder), started and
// ended by the test. Release happens on destruction at the latest.
#pragma once

#include <windows.h>

#include <string>

#include "tests/ui/korvalen_process.h"

class FileHolder {
public:
    FileHolder() = default;
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;
    ~FileHolder() { release(); }

    // Starts the holder and waits until it has `path` open with `share`.
    // On failure `error` says why and nothing is left running.
    bool hold(const std::wstring& path, DWORD share, std::string* error);

    // Lets go of the file and waits for the holder to end (bounded); true
    // when it ended by itself after closing the file.
    bool release();

private:
    Handle process_;
    Handle held_;
    Handle release_;
};
