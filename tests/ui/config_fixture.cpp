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

const wchar_t kFillerName[] = L"filler.bin";

bool readBytes(const std::wstring& path, std::string* bytes) {
    Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    bytes->clear();
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) {
        bytes->append(chunk, got);
    }
    return true;
}

bool writeBytes(const std::wstring& path, const std::string& bytes) {
    Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
           written == bytes.size();
}

bool isHexDigit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

bool isDirectory(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string videoConfigDocument(const std::string& width, const std::string& height) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n"
           "<config>\r\n"
           "    <enable>0</enable>\r\n"
           "    <chnlist />\r\n"
           "    <forcevideosize>\r\n"
           "        <enable>1</enable>\r\n"
           "        <sizex>" +
           width +
           "</sizex>\r\n"
           "        <sizey>" +
           height +
           "</sizey>\r\n"
           "    </forcevideosize>\r\n"
           "</config>";
}

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

bool ConfigFixture::writeFile(const std::string& bytes) { return writeBytes(path_, bytes); }

bool ConfigFixture::writeLargeFile(const std::string& unit, size_t fillerBytes,
                                   const std::string& tail) {
    Handle file(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || unit.empty()) return false;
    std::string piece;
    while (piece.size() < (1u << 20)) piece += unit;
    piece.resize((1u << 20) / unit.size() * unit.size());  // whole copies, so pieces join up
    for (size_t left = fillerBytes; left > 0;) {
        DWORD size = static_cast<DWORD>(left < piece.size() ? left : piece.size());
        DWORD written = 0;
        if (!WriteFile(file.get(), piece.data(), size, &written, nullptr) || written != size) {
            return false;
        }
        left -= size;
    }
    DWORD written = 0;
    return WriteFile(file.get(), tail.data(), static_cast<DWORD>(tail.size()), &written, nullptr) &&
           written == tail.size();
}

bool ConfigFixture::readFile(std::string* bytes) const { return readBytes(path_, bytes); }

bool ConfigFixture::readEntry(const std::wstring& name, std::string* bytes) const {
    return readBytes(folder_ + L"\\" + name, bytes);
}

bool ConfigFixture::writeEntry(const std::wstring& name, const std::string& bytes) {
    return writeBytes(folder_ + L"\\" + name, bytes);
}

bool ConfigFixture::fileExists() const {
    DWORD attributes = GetFileAttributesW(path_.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

long long ConfigFixture::fileSize() const {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path_.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
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

bool ConfigFixture::removeEntry(const std::wstring& name) {
    return DeleteFileW((folder_ + L"\\" + name).c_str()) != 0;
}

std::vector<std::wstring> ConfigFixture::temporaryFiles() const {
    std::vector<std::wstring> found;
    for (const std::wstring& name : folderEntries()) {
        if (name.size() != 3 + 8 + 4 || name.compare(0, 3, L"~kv") != 0 ||
            _wcsicmp(name.c_str() + 11, L".tmp") != 0) {
            continue;
        }
        if (std::all_of(name.begin() + 3, name.begin() + 11, isHexDigit)) found.push_back(name);
    }
    return found;
}

unsigned long long ConfigFixture::diskSize() const {
    ULARGE_INTEGER available = {}, total = {}, free = {};
    if (!GetDiskFreeSpaceExW((folder_ + L"\\").c_str(), &available, &total, &free)) return 0;
    return total.QuadPart;
}

bool ConfigFixture::fillDisk() {
    Handle file(CreateFileW((folder_ + L"\\" + kFillerName).c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    // Large pieces while they fit, then ever smaller ones, down to single
    // bytes, so that no room is left whatever the allocation unit.
    static const char zeros[65536] = {};
    bool sawFull = false;
    for (DWORD piece = sizeof zeros; piece > 0; piece /= 4) {
        for (;;) {
            DWORD written = 0;
            SetLastError(ERROR_SUCCESS);
            if (WriteFile(file.get(), zeros, piece, &written, nullptr) && written == piece)
                continue;
            DWORD error = GetLastError();
            if (error != ERROR_DISK_FULL && error != ERROR_HANDLE_DISK_FULL && written == 0) {
                return false;  // not the disk running full
            }
            sawFull = true;
            break;
        }
    }
    return sawFull;
}

bool ConfigFixture::removeFiller() {
    return DeleteFileW((folder_ + L"\\" + kFillerName).c_str()) != 0;
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
