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

// What Korvalen writes for `width` and `height`, built from its literal
// pieces so that a mistake in the product's own composer cannot hide. The
// values go in as they are: give none that Korvalen escapes.
std::string videoConfigDocument(const std::string& width, const std::string& height);

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
    // The file made of `fillerBytes` bytes of `unit` repeated (the last copy
    // cut short if need be), then `tail`; written in large pieces.
    bool writeLargeFile(const std::string& unit, size_t fillerBytes, const std::string& tail);
    // The file's bytes; false when it cannot be read.
    bool readFile(std::string* bytes) const;
    bool fileExists() const;
    // The file's size without opening it (an open could disturb a writer);
    // -1 when it is absent.
    long long fileSize() const;
    bool folderExists() const;
    // Names in the folder, "." and ".." left out.
    std::vector<std::wstring> folderEntries() const;
    // Those of them named as Korvalen names its temporary files: "~kv",
    // eight hex digits, ".tmp".
    std::vector<std::wstring> temporaryFiles() const;
    // Bytes of the file `name` in the folder; false when it cannot be read.
    bool readEntry(const std::wstring& name, std::string* bytes) const;
    bool writeEntry(const std::wstring& name, const std::string& bytes);
    bool removeEntry(const std::wstring& name);
    // Size of the file system that holds the folder; 0 when unknown.
    unsigned long long diskSize() const;

    // Faults.
    bool removeFolder();  // the file's own folder and what it holds
    bool setReadOnly(bool readOnly);
    // Opens the file with no sharing and keeps it open until reset().
    bool holdOpenExclusive();
    void release() { held_.reset(); }
    // Fills the folder's file system with a file of its own until not one
    // more byte fits; reset() removes it, giving the room back.
    bool fillDisk();
    bool removeFiller();

private:
    bool ensureFolder();
    void emptyFolder();

    std::vector<std::wstring> chain_;    // folders from the first below AppData to the leaf
    std::vector<std::wstring> created_;  // those this fixture made, outermost first
    std::wstring folder_;
    std::wstring path_;
    Handle held_;
};
