// The file routines on real files: each test works in a folder of its own
// below the temporary folder, removed afterwards.
#include <windows.h>

#include <shlobj.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/config_file.h"
#include "config/document.h"
#include "config/scoped_win.h"

namespace {

std::string bytesOf(const Text& text) { return std::string(text.c_str(), text.size()); }

bool putFile(const std::string& path, const std::string& bytes) {
    ScopedFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    if (!bytes.empty() && (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                      &written, nullptr) ||
                           written != bytes.size())) {
        return false;
    }
    return file.close();
}

// A file of `size` bytes that starts with `head` and is sparse after it.
bool putSparseFile(const std::string& path, const std::string& head, int64_t size) {
    if (!putFile(path, head)) return false;
    ScopedFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER end;
    end.QuadPart = size;
    return file && SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) &&
           SetEndOfFile(file.get()) && file.close();
}

// The file's bytes, read with every kind of sharing; "<absent>" when it
// cannot be opened.
std::string fileBytes(const std::string& path) {
    ScopedFile file(CreateFileA(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return "<absent>";
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) {
        bytes.append(chunk, got);
    }
    return bytes;
}

// Names in `folder`, sorted, without "." and "..".
std::vector<std::string> entries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    ScopedFind find(FindFirstFileA((folder + "\\*").c_str(), &found));
    if (!find) return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find.get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}

bool isFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void removeTree(const std::string& folder) {
    for (const std::string& name : entries(folder)) {
        std::string path = folder + "\\" + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (isFolder(path)) {
            removeTree(path);
        } else {
            DeleteFileA(path.c_str());
        }
    }
    RemoveDirectoryA(folder.c_str());
}

// A fresh folder of its own below `base`, removed with everything in it.
// Process ids repeat across runs, so a name already taken moves on.
std::string makeScratchFolder(const std::string& base) {
    static unsigned serial = GetTickCount();
    std::string prefix = base;
    if (!prefix.empty() && prefix.back() != '\\') prefix += '\\';
    prefix += "korvalen-" + std::to_string(GetCurrentProcessId()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string folder = prefix + std::to_string(++serial);
        if (CreateDirectoryA(folder.c_str(), nullptr)) return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return std::string();
}

std::string tempFolder() {
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(sizeof temp, temp);
    return length > 0 && length < sizeof temp ? std::string(temp, length) : std::string();
}

class ConfigFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = makeScratchFolder(tempFolder());
        ASSERT_FALSE(folder_.empty()) << "no scratch folder, error " << GetLastError();
    }
    void TearDown() override {
        if (!folder_.empty()) removeTree(folder_);
    }

    std::string at(const std::string& name) const { return folder_ + "\\" + name; }

    std::string folder_;
};

const std::vector<std::string> kOnlyTheFile = {"bigvideoconfig.xml"};

// ---------------------------------------------------------------- reading

struct ReadCase {
    const char* name;
    std::string bytes;
    std::string text;
};

class ReadContentTest : public ConfigFileTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadContentTest, GivesTheBytesUpToTheFirstZero) {
    const ReadCase& c = GetParam();
    std::string path = at("bigvideoconfig.xml");
    ASSERT_TRUE(putFile(path, c.bytes));
    EXPECT_EQ(bytesOf(readVideoConfig(path.c_str())), c.text);
    EXPECT_EQ(fileBytes(path), c.bytes);  // reading leaves the file as it was
}

const std::string kSizes = "<sizex>640</sizex>\r\n<sizey>480</sizey>";

INSTANTIATE_TEST_SUITE_P(
    Files, ReadContentTest,
    ::testing::Values(
        ReadCase{"Plain", kSizes, kSizes},
        ReadCase{"Utf8ByteOrderMarkKept", "\xEF\xBB\xBF" + kSizes, "\xEF\xBB\xBF" + kSizes},
        ReadCase{"Utf16EndsAtItsFirstZero", std::string("\xFF\xFE<\0s\0i\0", 8), "\xFF\xFE<"},
        ReadCase{"ZeroInsideEndsTheText",
                 "<sizex>640</sizex>" + std::string(1, '\0') + "<sizey>480</sizey>",
                 "<sizex>640</sizex>"},
        ReadCase{"LeadingZeroGivesEmpty", std::string("\0<sizex>640</sizex>", 19), ""},
        ReadCase{"EmptyFile", "", ""},
        ReadCase{"LineEndsAndHighBytesUnchanged", "a\r\nb\n\r\xD6\xD0\x80\xFF\t ",
                 "a\r\nb\n\r\xD6\xD0\x80\xFF\t "},
        ReadCase{"LargeFileWhole", std::string(3 << 20, 'x') + "<sizex>1</sizex>",
                 std::string(3 << 20, 'x') + "<sizex>1</sizex>"}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

// Files of 2 GiB and more give the empty text, also those of 4 GiB and more
// whose length a 32-bit position alone would show as small. Sparse, so cheap.
class ReadHugeFileTest : public ConfigFileTest, public ::testing::WithParamInterface<int64_t> {};

TEST_P(ReadHugeFileTest, GivesEmpty) {
    std::string path = at("bigvideoconfig.xml");
    ASSERT_TRUE(putSparseFile(path, "<sizex>640</sizex>", GetParam())) << GetLastError();
    EXPECT_EQ(bytesOf(readVideoConfig(path.c_str())), "");
}

INSTANTIATE_TEST_SUITE_P(Sizes, ReadHugeFileTest,
                         ::testing::Values(int64_t{1} << 31, (int64_t{1} << 32) + 12));

TEST_F(ConfigFileTest, ReadOfMissingFileOrFolderGivesEmptyAndCreatesNothing) {
    EXPECT_EQ(bytesOf(readVideoConfig(at("bigvideoconfig.xml").c_str())), "");
    EXPECT_EQ(bytesOf(readVideoConfig(at("missing\\bigvideoconfig.xml").c_str())), "");
    EXPECT_EQ(entries(folder_), std::vector<std::string>());
}

// ---------------------------------------------------------------- writing

TEST_F(ConfigFileTest, FirstWriteCreatesTheFile) {
    std::string path = at("bigvideoconfig.xml");
    Text document = composeVideoConfig("640", "480");
    ASSERT_EQ(writeVideoConfig(path.c_str(), document), 0u);
    EXPECT_EQ(fileBytes(path), bytesOf(document));
    EXPECT_EQ(entries(folder_), kOnlyTheFile);
    EXPECT_EQ(readVideoConfig(path.c_str()), document);
}

struct OverwriteCase {
    const char* name;
    std::string before;
    std::string document;
};

class OverwriteTest : public ConfigFileTest, public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(OverwriteTest, ReplacesTheBytesExactly) {
    const OverwriteCase& c = GetParam();
    std::string path = at("bigvideoconfig.xml");
    ASSERT_TRUE(putFile(path, c.before));
    ASSERT_EQ(writeVideoConfig(path.c_str(), c.document.c_str()), 0u);
    EXPECT_EQ(fileBytes(path), c.document);
    EXPECT_EQ(entries(folder_), kOnlyTheFile);
}

INSTANTIATE_TEST_SUITE_P(
    Files, OverwriteTest,
    ::testing::Values(OverwriteCase{"LongerFileLeavesNoTail", std::string(5000, 'o') + kSizes,
                                    kSizes},
                      OverwriteCase{"ShorterFileGrows", "<c/>", std::string(70000, 'n') + kSizes},
                      OverwriteCase{"EmptyFile", "", kSizes},
                      OverwriteCase{"EmptyDocumentLeavesEmptyFile", kSizes, ""},
                      OverwriteCase{"BytesWrittenUnchanged", "\xEF\xBB\xBF" + kSizes,
                                    "<sizex>\xD6\xD0\x80\xFF\r\n&\"</sizex>"}),
    [](const ::testing::TestParamInfo<OverwriteCase>& info) {
        return std::string(info.param.name);
    });

// A path without a folder goes against the current directory; the file put
// beside it for the replacement must land there too.
TEST_F(ConfigFileTest, RelativePathWritesIntoTheCurrentDirectory) {
    char previous[MAX_PATH];
    ASSERT_GT(GetCurrentDirectoryA(sizeof previous, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
    WriteResult result = writeVideoConfig("bigvideoconfig.xml", kSizes.c_str());
    Text read = readVideoConfig("bigvideoconfig.xml");
    SetCurrentDirectoryA(previous);

    EXPECT_EQ(result, 0u);
    EXPECT_EQ(bytesOf(read), kSizes);
    EXPECT_EQ(fileBytes(at("bigvideoconfig.xml")), kSizes);
    EXPECT_EQ(entries(folder_), kOnlyTheFile);
}

// Paths are ANSI bytes handed on unchanged. In code page 936 these are
// "用户昞", whose last character ends in the byte of a backslash.
TEST_F(ConfigFileTest, DoubleByteFolderNameIsUsedAsGiven) {
    std::string folder = at("\xD3\xC3\xBB\xA7\x95\x5C");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << GetLastError();
    std::string path = folder + "\\bigvideoconfig.xml";
    ASSERT_EQ(writeVideoConfig(path.c_str(), kSizes.c_str()), 0u);
    EXPECT_EQ(bytesOf(readVideoConfig(path.c_str())), kSizes);
    EXPECT_EQ(entries(folder), kOnlyTheFile);
}

TEST_F(ConfigFileTest, EmptyPathIsRefused) {
    EXPECT_EQ(writeVideoConfig("", kSizes.c_str()),
              static_cast<WriteResult>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(bytesOf(readVideoConfig("")), "");
}

TEST_F(ConfigFileTest, MissingFolderIsNotCreated) {
    EXPECT_EQ(writeVideoConfig(at("missing\\deeper\\bigvideoconfig.xml").c_str(), kSizes.c_str()),
              static_cast<WriteResult>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(entries(folder_), std::vector<std::string>());
}

TEST_F(ConfigFileTest, FolderInPlaceOfTheFileIsLeftAlone) {
    std::string path = at("bigvideoconfig.xml");
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    EXPECT_EQ(writeVideoConfig(path.c_str(), kSizes.c_str()),
              static_cast<WriteResult>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(isFolder(path));
    EXPECT_EQ(entries(path), std::vector<std::string>());
    EXPECT_EQ(entries(folder_), kOnlyTheFile);
    EXPECT_EQ(bytesOf(readVideoConfig(path.c_str())), "");
}

// A file that is read-only or that another handle holds: what reading gives,
// and writing is refused at once with the file untouched and nothing left
// beside it. Once the obstacle is gone the same write goes through.
struct ObstacleCase {
    const char* name;
    bool readOnly;
    DWORD holderAccess;  // 0: no other handle
    DWORD holderShare;
    bool readGivesContent;
    DWORD writeError;
};

class ObstacleTest : public ConfigFileTest, public ::testing::WithParamInterface<ObstacleCase> {};

TEST_P(ObstacleTest, WriteIsRefusedAndTheFileKeepsItsBytes) {
    const ObstacleCase& c = GetParam();
    std::string path = at("bigvideoconfig.xml");
    const std::string before = "\xEF\xBB\xBF" + kSizes;
    ASSERT_TRUE(putFile(path, before));
    if (c.readOnly) {
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    ScopedFile holder;
    if (c.holderAccess != 0) {
        holder.reset(CreateFileA(path.c_str(), c.holderAccess, c.holderShare, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder.valid()) << GetLastError();
    }

    EXPECT_EQ(bytesOf(readVideoConfig(path.c_str())), c.readGivesContent ? before : "");
    Text document = composeVideoConfig("800", "600");
    EXPECT_EQ(writeVideoConfig(path.c_str(), document), static_cast<WriteResult>(c.writeError));
    EXPECT_EQ(entries(folder_), kOnlyTheFile);
    ASSERT_TRUE(holder.close());  // an unshared holder keeps us from looking, too
    EXPECT_EQ(fileBytes(path), before);

    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(writeVideoConfig(path.c_str(), document), 0u);
    EXPECT_EQ(fileBytes(path), bytesOf(document));
    EXPECT_EQ(entries(folder_), kOnlyTheFile);
}

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

INSTANTIATE_TEST_SUITE_P(
    Files, ObstacleTest,
    ::testing::Values(ObstacleCase{"ReadOnly", true, 0, 0, true, ERROR_ACCESS_DENIED},
                      ObstacleCase{"HeldWithoutSharing", false, GENERIC_READ, 0, false,
                                   ERROR_SHARING_VIOLATION},
                      ObstacleCase{"HeldForWritingSharingRead", false, GENERIC_WRITE,
                                   FILE_SHARE_READ, false, ERROR_SHARING_VIOLATION},
                      ObstacleCase{"HeldForReadingSharingRead", false, GENERIC_READ,
                                   FILE_SHARE_READ, true, ERROR_SHARING_VIOLATION},
                      // Windows would let a rename replace this one; the client must still
                      // not have the file swapped under it.
                      ObstacleCase{"HeldForReadingSharingAll", false, GENERIC_READ, kShareAll, true,
                                   ERROR_SHARING_VIOLATION}),
    [](const ::testing::TestParamInfo<ObstacleCase>& info) {
        return std::string(info.param.name);
    });

// A write that runs out of room keeps the earlier file, or no file, and
// leaves nothing beside it. Needs a folder on a small file system, so it runs
// only on request: KORVALEN_SMALL_DISK names the folder (e.g. a 64 KiB tmpfs
// reached through drive Z:), and --gtest_also_run_disabled_tests with
// --gtest_filter=*DiskFull* runs it.
struct DiskFullCase {
    const char* name;
    bool fileExists;
};

class DiskFullTest : public ::testing::TestWithParam<DiskFullCase> {
protected:
    void SetUp() override {
        const char* smallDisk = getenv("KORVALEN_SMALL_DISK");
        if (!smallDisk || !*smallDisk) GTEST_SKIP() << "KORVALEN_SMALL_DISK is not set";
        folder_ = makeScratchFolder(smallDisk);
        ASSERT_FALSE(folder_.empty()) << "no scratch folder, error " << GetLastError();
    }
    void TearDown() override {
        if (!folder_.empty()) removeTree(folder_);
    }
    std::string folder_;
};

TEST_P(DiskFullTest, FailedWriteLeavesTheEarlierState) {
    std::string path = folder_ + "\\bigvideoconfig.xml";
    if (GetParam().fileExists) {
        ASSERT_TRUE(putFile(path, kSizes));
    }
    std::string huge(4 << 20, 'x');
    EXPECT_EQ(writeVideoConfig(path.c_str(), huge.c_str()),
              static_cast<WriteResult>(ERROR_DISK_FULL));
    EXPECT_EQ(fileBytes(path), GetParam().fileExists ? kSizes : "<absent>");
    EXPECT_EQ(entries(folder_), GetParam().fileExists ? kOnlyTheFile : std::vector<std::string>());
}

INSTANTIATE_TEST_SUITE_P(DISABLED_Files, DiskFullTest,
                         ::testing::Values(DiskFullCase{"ExistingFileKeepsItsBytes", true},
                                           DiskFullCase{"MissingFileStaysAbsent", false}),
                         [](const ::testing::TestParamInfo<DiskFullCase>& info) {
                             return std::string(info.param.name);
                         });

// ---------------------------------------------------------------- locating

TEST(LocateVideoConfigTest, IsTheRelativePathBelowTheApplicationDataFolder) {
    char folder[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, folder, CSIDL_APPDATA, FALSE));
    std::string expected = folder;
    if (expected.back() != '\\') expected += '\\';
    expected += kVideoConfigRelativePath;
    EXPECT_EQ(bytesOf(locateVideoConfig()), expected);
}

// With the application-data folder gone the lookup fails: the path is the
// relative one alone, and the folder is not made again.
TEST(LocateVideoConfigTest, MissingFolderGivesTheRelativePathAndStaysMissing) {
    char folder[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, folder, CSIDL_APPDATA, FALSE));
    std::string original = folder;
    std::string aside = original + ".korvalen-aside";
    ASSERT_TRUE(MoveFileA(original.c_str(), aside.c_str())) << GetLastError();
    struct PutBack {
        const std::string& from;
        const std::string& to;
        ~PutBack() { MoveFileA(from.c_str(), to.c_str()); }
    } putBack{aside, original};

    EXPECT_EQ(bytesOf(locateVideoConfig()), kVideoConfigRelativePath);
    EXPECT_EQ(GetFileAttributesA(original.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
