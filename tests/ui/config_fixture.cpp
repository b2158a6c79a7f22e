#include "tests/ui/config_fixture.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>

namespace {

const wchar_t* const kRelativeFolders[] = {L"duowan", L"yy",  L"business", L"yymusicconfig",
                                           L"4_5",    L"101", L"65"};

// A directory search, closed with FindClose rather than CloseHandle.
class FindHandle {
public:
    explicit FindHandle(HANDLE h) : h_(h) {}
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    ~FindHandle() {
        if (valid()) FindClose(h_);
    }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

bool isDirectory(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

ConfigFixture::ConfigFixture() {
    wchar_t appData[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE)) {
        ADD_FAILURE() << "no application-data folder in this prefix";
        return;
    }
    std::wstring current = appData;
    if (!current.empty() && current.back() != L'\\') current += L'\\';
    for (const wchar_t* name : kRelativeFolders) {
        current += name;
        chain_.push_back(current);
        current += L'\\';
    }
    folder_ = chain_.back();
    path_ = folder_ + L"\\bigvideoconfig.xml";
    reset();
}

ConfigFixture::~ConfigFixture() {
    held_.reset();
    emptyFolder();
    // Innermost first; a folder someone else put files in stays.
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
        RemoveDirectoryW(it->c_str());
    }
}

void ConfigFixture::reset() {
    held_.reset();
    if (!ensureFolder()) ADD_FAILURE() << "cannot create the configuration folder";
    emptyFolder();
}

bool ConfigFixture::ensureFolder() {
    for (const std::wstring& dir : chain_) {
        if (isDirectory(dir)) continue;
        if (!CreateDirectoryW(dir.c_str(), nullptr)) return false;
        if (std::find(created_.begin(), created_.end(), dir) == created_.end()) {
            created_.push_back(dir);
        }
    }
    return !chain_.empty();
}

void ConfigFixture::emptyFolder() {
    for (const std::wstring& name : folderEntries()) {
        std::wstring entry = folder_ + L"\\" + name;
        SetFileAttributesW(entry.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileW(entry.c_str())) {
            ADD_FAILURE() << "cannot remove a file from the configuration folder, error "
                          << GetLastError();
        }
    }
}

bool ConfigFixture::writeFile(const std::string& bytes) {
    Handle file(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
           written == bytes.size();
}

bool ConfigFixture::readFile(std::string* bytes) const {
    Handle file(CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    bytes->clear();
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) {
        bytes->append(chunk, got);
    }
    return true;
}

bool ConfigFixture::fileExists() const {
    DWORD attributes = GetFileAttributesW(path_.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ConfigFixture::folderExists() const { return isDirectory(folder_); }

std::vector<std::wstring> ConfigFixture::folderEntries() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW((folder_ + L"\\*").c_str(), &data));
    if (!find.valid()) return names;
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(find.get(), &data));
    return names;
}

bool ConfigFixture::removeFolder() {
    held_.reset();
    emptyFolder();
    return RemoveDirectoryW(folder_.c_str()) != 0;
}

bool ConfigFixture::setReadOnly(bool readOnly) {
    return SetFileAttributesW(path_.c_str(),
                              readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL) != 0;
}

bool ConfigFixture::holdOpenExclusive() {
    held_ = Handle(CreateFileW(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(held_);
}
