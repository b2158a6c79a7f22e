// Korvalen under a Western code page (1252) instead of the Chinese one: its
// fixed texts must still read as Chinese, and the values must pass through
// the system's ANSI code page both ways. Run with LC_ALL=en_US.UTF-8 in the
// same Wine prefix as the other tests (see CMakeLists.txt).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/ui/config_fixture.h"
#include "tests/ui/input.h"
#include "tests/ui/korvalen_process.h"
#include "tests/ui/window_query.h"

namespace {

constexpr DWORD kStartMs = 60000;
constexpr DWORD kEffectMs = 10000;

TEST(CodePage1252Test, FixedTextsStayChineseAndValuesUseTheAnsiCodePage) {
    ASSERT_EQ(GetACP(), 1252u) << "LC_ALL=en_US.UTF-8 did not take effect (is that locale "
                                  "generated?): nothing here would be tested";
    ConfigFixture config;
    // In code page 1252 the byte E9 is é, a character of its own; the blank
    // after it keeps it from hiding the end marker.
    ASSERT_TRUE(config.writeFile("<config><sizex>\xE9 1280</sizex><sizey>720</sizey></config>"));
    KorvalenProcess k;
    std::string error;
    ASSERT_TRUE(k.start(kStartMs, &error)) << error;

    EXPECT_EQ(windowText(k.mainWindow()), L"Korvalen");
    struct Fixed {
        int id;
        const wchar_t* text;
    };
    const Fixed fixed[] = {{kModifyButton, L"修改"}, {kWidthLabel, L"宽"}, {kHeightLabel, L"高"}};
    for (const Fixed& f : fixed) {
        EXPECT_EQ(windowText(k.control(f.id)), f.text) << "control " << f.id;
    }
    EXPECT_EQ(windowText(k.control(kWidthEdit)), L"\u00e9 1280");
    EXPECT_EQ(windowText(k.control(kHeightEdit)), L"720");

    // Typed into the emptied box: é after the digits ends the number, and
    // the file gets it as the one byte E9.
    HWND widthBox = k.control(kWidthEdit);
    ASSERT_TRUE(setWindowText(widthBox, L""));
    ASSERT_TRUE(clickAt(pointIn(widthBox, 0.85, 0.5)));
    ASSERT_TRUE(waitUntil([&] { return focusOf(k.uiThread()) == widthBox; }, kEffectMs))
        << "编辑框1 did not take the focus";
    ASSERT_TRUE(typeUnicode(k.mainWindow(), L"800\u00e9"));
    waitUntil(
        [&] {
            return windowText(widthBox) == L"800\u00e9" &&
                   windowText(k.control(kHeightEdit)) == L"600";
        },
        kEffectMs);
    EXPECT_EQ(windowText(widthBox), L"800\u00e9");
    EXPECT_EQ(windowText(k.control(kHeightEdit)), L"600");

    ASSERT_TRUE(clickAt(pointIn(k.control(kModifyButton))));
    HWND box = waitForDialog(k.pid(), L"提示", kEffectMs);
    ASSERT_TRUE(box) << "no message box captioned 提示";
    EXPECT_EQ(inspectMessageBox(box).text, L"修改成功，请重新进入频道");
    std::string bytes;
    EXPECT_TRUE(config.readFile(&bytes));
    EXPECT_EQ(bytes, videoConfigDocument("800\xE9", "600"));
    ASSERT_TRUE(pressKey(box, VK_RETURN));
}

}  // namespace
