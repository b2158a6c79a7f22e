// The message shown when writing the file failed: the reason, then the path.
#include "ui/modify_message.h"

#include <gtest/gtest.h>
#include <wchar.h>

namespace {

TEST(ModifyMessage, NamesTheReasonThenThePath) {
    const Text path = "C:\\AppData\\duowan\\bigvideoconfig.xml";
    const struct {
        WriteResult code;
        const wchar_t* message;
    } cases[] = {
        {ERROR_PATH_NOT_FOUND, L"修改失败：找不到 YY 的配置文件夹\n"},
        {ERROR_ACCESS_DENIED, L"修改失败：配置文件被占用或为只读\n"},
        {ERROR_SHARING_VIOLATION, L"修改失败：配置文件被占用或为只读\n"},
        {ERROR_LOCK_VIOLATION, L"修改失败：配置文件被占用或为只读\n"},
        {ERROR_DISK_FULL, L"修改失败：磁盘空间不足\n"},
        {ERROR_HANDLE_DISK_FULL, L"修改失败：磁盘空间不足\n"},
        {ERROR_FILE_NOT_FOUND, L"修改失败（错误代码 2）\n"},
        {ERROR_INVALID_PARAMETER, L"修改失败（错误代码 87）\n"},
        {0xFFFFFFFFu, L"修改失败（错误代码 4294967295）\n"},
    };
    for (const auto& c : cases) {
        WideText message = modifyFailureMessage(c.code, path);
        size_t reasonLength = wcslen(c.message);
        ASSERT_EQ(wcsncmp(message.c_str(), c.message, reasonLength), 0) << "code " << c.code;
        EXPECT_EQ(
            wcscmp(message.c_str() + reasonLength, L"C:\\AppData\\duowan\\bigvideoconfig.xml"), 0)
            << "code " << c.code;
    }
}

TEST(ModifyMessage, AnEmptyPathLeavesTheReasonLineAlone) {
    WideText message = modifyFailureMessage(ERROR_INVALID_PARAMETER, Text());
    EXPECT_EQ(wcscmp(message.c_str(), L"修改失败（错误代码 87）\n"), 0);
}

}  // namespace
