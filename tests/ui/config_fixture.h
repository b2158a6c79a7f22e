// The client's bigvideoconfig.xml as the tests arrange it: present with given
// bytes, absent, in a missing folder, read-only or held open. Korvalen finds
// the file through the same application-data folder of the same prefix.
//
// Each arrangement is a method that the destructor and reset() undo, so a
// further fault (a full disk under the folder, say) is one more method and
// one more line in reset().
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/ui/korvalen_process.h"

class ConfigFixture {
public:
    // Puts the folder in place, without the file.
    ConfigFixture();
    // Releases the file, removes it and every folder this fixture created.
    ~ConfigFixture();
    ConfigFixture(const ConfigFixture&) = delete;
    ConfigFixture& operator=(const ConfigFixture&) = delete;

    // The folder that holds the file and the file's full path.
    const std::wstring& folder() const { return folder_; }
    const std::wstring& path() const { return path_; }

    // Back to the start: folder present and empty, nothing held open.
    void reset();

    bool writeFile(const std::string& bytes);
    // The file's bytes; false when it cannot be read.
    bool readFile(std::string* bytes) const;
    bool fileExists() const;
    bool folderExists() const;
    // Names in the folder, "." and ".." left out.
    std::vector<std::wstring> folderEntries() const;

    // Faults.
    bool removeFolder();  // the file's own folder and what it holds
    bool setReadOnly(bool readOnly);
    // Opens the file with no sharing and keeps it open until reset().
    bool holdOpenExclusive();
    void release() { held_.reset(); }

private:
    bool ensureFolder();
    void emptyFolder();

    std::vector<std::wstring> chain_;    // folders from the first below AppData to the leaf
    std::vector<std::wstring> created_;  // those this fixture made, outermost first
    std::wstring folder_;
    std::wstring path_;
    Handle held_;
};
