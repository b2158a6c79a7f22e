// Korvalen.exe driven from outside, as a user would: real keys and clicks
// through SendInput, the results read back from its windows and from the
// configuration file on disk.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/ui/config_fixture.h"
#include "tests/ui/input.h"
#include "tests/ui/korvalen_process.h"
#include "tests/ui/window_query.h"

namespace {

constexpr DWORD kStartMs = 180000;  // a cold Wine (under qemu, on a busy machine) can take long
constexpr DWORD kEffectMs =
    30000;  // for input to show its effect; polled, so only a failure waits this long
constexpr DWORD kExitMs = 60000;
constexpr DWORD kQuietMs = 700;  // to see that something does not happen

const char kSuccessText[] = "修改成功，请重新进入频道";
const char kCaption[] = "提示";

const char kStoredDocument[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<config>\r\n    <enable>1</enable>\r\n"
    "    <forcevideosize>\r\n        <enable>0</enable>\r\n        <sizex>1280</sizex>\r\n"
    "        <sizey>720</sizey>\r\n    </forcevideosize>\r\n</config>\r\n";

std::wstring wide(const char* utf8Text) {
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8Text, -1, nullptr, 0);
    std::wstring out(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1) MultiByteToWideChar(CP_UTF8, 0, utf8Text, -1, &out[0], n);
    return out;
}

const char* controlName(int id) {
    switch (id) {
        case kWidthEdit:
            return "编辑框1";
        case kWidthUpDown:
            return "up-down";
        case kHeightEdit:
            return "编辑框2";
        case kModifyButton:
            return "按钮1";
        case kWidthLabel:
            return "透明标签1";
        case kHeightLabel:
            return "透明标签2";
        default:
            return "?";
    }
}

// The focus order: 编辑框1, 编辑框2, 按钮1, and round again.
int nextInTabOrder(int id) {
    return id == kWidthEdit ? kHeightEdit : id == kHeightEdit ? kModifyButton : kWidthEdit;
}

enum class Dismiss { kEnter, kClickOk };

class KorvalenTest : public ::testing::Test {
protected:
    static void startOrFail(KorvalenProcess& k) {
        std::string error;
        ASSERT_TRUE(k.start(kStartMs, &error)) << error;
        ASSERT_TRUE(makeForeground(k.mainWindow())) << "Korvalen's window is not foreground";
    }

    static std::string boxText(const KorvalenProcess& k, int id) {
        return utf8(windowText(k.control(id)));
    }

    static HWND focused(const KorvalenProcess& k) { return focusOf(k.uiThread()); }

    // Where the focus and the foreground are, for failure messages.
    static std::string focusReport(const KorvalenProcess& k) {
        HWND focus = focused(k);
        HWND fg = GetForegroundWindow();
        std::string where = focus ? controlName(GetDlgCtrlID(focus)) : "nothing";
        return "focus on " + where + ", foreground window \"" + utf8(windowClass(fg)) + "\"";
    }

    static ::testing::AssertionResult waitForFocus(const KorvalenProcess& k, int id) {
        HWND target = k.control(id);
        if (waitUntil([&] { return focused(k) == target; }, kEffectMs)) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure()
               << "expected the focus on " << controlName(id) << ": " << focusReport(k);
    }

    // Clicks an edit box right of the label that overlaps its left part.
    static ::testing::AssertionResult clickEdit(const KorvalenProcess& k, int id) {
        if (!clickAt(pointIn(k.control(id), 0.85, 0.5))) {
            return ::testing::AssertionFailure() << "the mouse did not reach " << controlName(id);
        }
        return waitForFocus(k, id);
    }

    // Gives `id` the focus with the mouse (edit boxes) or with Tab from
    // 编辑框2 (the button, which a click would press).
    static ::testing::AssertionResult focusControl(const KorvalenProcess& k, int id) {
        if (id != kModifyButton) return clickEdit(k, id);
        ::testing::AssertionResult inHeight = clickEdit(k, kHeightEdit);
        if (!inHeight) return inHeight;
        if (!pressKey(k.mainWindow(), VK_TAB)) {
            return ::testing::AssertionFailure() << "Tab not sent: " << focusReport(k);
        }
        return waitForFocus(k, kModifyButton);
    }

    // Puts texts into the boxes as setup (not as the input under test); the
    // width's change handler runs, then the height is overwritten if given.
    static bool setBoxes(const KorvalenProcess& k, const std::wstring& width,
                         const wchar_t* height) {
        if (!setWindowText(k.control(kWidthEdit), width)) return false;
        return !height || setWindowText(k.control(kHeightEdit), height);
    }

    static HWND waitForMessageBox(const KorvalenProcess& k) {
        HWND box = nullptr;
        waitUntil(
            [&] {
                box = findDialog(k.pid(), wide(kCaption));
                return box != nullptr;
            },
            kEffectMs);
        return box;
    }

    static bool dismiss(HWND box, Dismiss how) {
        if (how == Dismiss::kEnter) {
            if (!pressKey(box, VK_RETURN)) return false;
        } else {
            HWND ok = inspectMessageBox(box).okButton;
            if (!ok || !clickAt(pointIn(ok))) return false;
        }
        return waitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, kEffectMs);
    }

    static bool isOnlyConfigFile(const std::vector<std::wstring>& names) {
        return names.size() == 1 && names[0] == L"bigvideoconfig.xml";
    }

    static std::string listing(const std::vector<std::wstring>& names) {
        std::string out;
        for (const auto& n : names) out += "[" + utf8(n) + "]";
        return out.empty() ? "(empty)" : out;
    }

    ConfigFixture config;
};

// Cases that need a process of their own: start-up and ending.
using FreshStartTest = KorvalenTest;

// Cases that only look at or act on a running window share one process;
// SetUp clears the boxes and the focus, and starts a new process when a case
// left the old one in a state it cannot be brought back from.
class SharedWindowTest : public KorvalenTest {
protected:
    static void TearDownTestSuite() { shared_.reset(); }

    void SetUp() override {
        if (!shared_) shared_ = std::make_unique<KorvalenProcess>();
        KorvalenProcess& k = *shared_;
        bool usable = k.running() && IsWindow(k.mainWindow()) && IsWindowEnabled(k.mainWindow()) &&
                      k.otherWindows().empty();
        if (!usable) {
            ASSERT_NO_FATAL_FAILURE(startOrFail(k));
        }
        ASSERT_TRUE(setBoxes(k, L"", L"")) << "the window does not answer";
        ASSERT_TRUE(clickEdit(k, kWidthEdit)) << "cannot put the focus into 编辑框1";
    }

    KorvalenProcess& k() { return *shared_; }

    static std::unique_ptr<KorvalenProcess> shared_;
};

std::unique_ptr<KorvalenProcess> SharedWindowTest::shared_;

// --- Start-up -------------------------------------------------------------

TEST_F(FreshStartTest, BoxesShowTheStoredValuesAfterStart) {
    struct Case {
        const char* name;
        const char* file;  // nullptr: no file
        const char* width;
        const char* height;
    };
    const Case cases[] = {
        {"width and height stored", kStoredDocument, "1280", "720"},
        // The stored height is shown as stored, not three quarters of the width.
        {"height not in proportion",
         "<config><forcevideosize><sizex>640</sizex><sizey>360</sizey></forcevideosize></config>",
         "640", "360"},
        {"no file", nullptr, "", ""},
        {"height only", "<config><sizey>480</sizey></config>", "", "480"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        config.reset();
        if (c.file) {
            ASSERT_TRUE(config.writeFile(c.file));
        }
        KorvalenProcess k;
        ASSERT_NO_FATAL_FAILURE(startOrFail(k));
        EXPECT_EQ(boxText(k, kWidthEdit), c.width);
        EXPECT_EQ(boxText(k, kHeightEdit), c.height);
        EXPECT_TRUE(waitForFocus(k, kWidthEdit)) << "the caret is not in 编辑框1 after start";
        // Reading leaves the file as it was, and creates none.
        std::string bytes;
        if (c.file) {
            EXPECT_TRUE(config.readFile(&bytes));
            EXPECT_EQ(bytes, c.file);
        } else {
            EXPECT_FALSE(config.fileExists());
        }
    }
}

// --- Closing --------------------------------------------------------------

TEST_F(FreshStartTest, EveryWayOfClosingEndsWithExitStatusZero) {
    enum class Way { kEsc, kCloseButton, kAltF4 };
    struct Case {
        const char* name;
        int focus;
        Way way;
    };
    const Case cases[] = {
        {"Esc in 编辑框1", kWidthEdit, Way::kEsc},  {"Esc in 编辑框2", kHeightEdit, Way::kEsc},
        {"Esc on 按钮1", kModifyButton, Way::kEsc}, {"close button", kWidthEdit, Way::kCloseButton},
        {"Alt+F4", kHeightEdit, Way::kAltF4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KorvalenProcess k;
        ASSERT_NO_FATAL_FAILURE(startOrFail(k));
        ASSERT_TRUE(focusControl(k, c.focus)) << "cannot focus " << controlName(c.focus);
        switch (c.way) {
            case Way::kEsc:
                ASSERT_TRUE(pressKey(k.mainWindow(), VK_ESCAPE));
                break;
            case Way::kAltF4:
                ASSERT_TRUE(pressKey(k.mainWindow(), VK_F4, kAlt));
                break;
            case Way::kCloseButton: {
                POINT close;
                ASSERT_TRUE(closeButtonPoint(k.mainWindow(), &close)) << "no close button";
                ASSERT_TRUE(clickAt(close));
                break;
            }
        }
        DWORD code = 0xDEAD;
        ASSERT_TRUE(k.waitForExit(kExitMs, &code)) << "Korvalen did not end";
        EXPECT_EQ(code, 0u);
    }
}

TEST_F(FreshStartTest, CloseButtonWaitsUntilTheMessageBoxIsDismissed) {
    KorvalenProcess k;
    ASSERT_NO_FATAL_FAILURE(startOrFail(k));
    POINT close;
    ASSERT_TRUE(closeButtonPoint(k.mainWindow(), &close)) << "no close button";
    ASSERT_TRUE(clickAt(pointIn(k.control(kModifyButton))));
    HWND box = waitForMessageBox(k);
    ASSERT_TRUE(box) << "no message box after a click on 按钮1";

    // The box opens over the main window; move it aside, as a user would
    // drag it, so that the click reaches the main window's close button.
    RECT boxRect = {};
    GetWindowRect(box, &boxRect);
    if (PtInRect(&boxRect, close)) {
        ASSERT_TRUE(
            SetWindowPos(box, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
        ASSERT_TRUE(waitUntil(
            [&] {
                GetWindowRect(box, &boxRect);
                return !PtInRect(&boxRect, close);
            },
            kEffectMs))
            << "the message box still covers the close button";
    }
    ASSERT_TRUE(clickAt(close));
    Sleep(kQuietMs);
    EXPECT_TRUE(k.running());
    EXPECT_TRUE(IsWindow(k.mainWindow()));
    EXPECT_TRUE(IsWindowVisible(box)) << "the message box went away";

    ASSERT_TRUE(dismiss(box, Dismiss::kClickOk));
    ASSERT_TRUE(waitUntil([&] { return IsWindowEnabled(k.mainWindow()) != FALSE; }, kEffectMs));
    // The click on the disabled window must not have been kept for later.
    Sleep(kQuietMs);
    ASSERT_TRUE(k.running()) << "the close click while the box was open closed the window";

    ASSERT_TRUE(clickAt(close));
    DWORD code = 0xDEAD;
    ASSERT_TRUE(k.waitForExit(kExitMs, &code)) << "the close button does not work after dismissal";
    EXPECT_EQ(code, 0u);
}

// --- Layout ---------------------------------------------------------------

TEST_F(SharedWindowTest, WindowAndControlsHaveTheirPlacesAndTexts) {
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024) << "the suite expects a 1024x768 desktop";
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768) << "the suite expects a 1024x768 desktop";
    RECT outer = {};
    ASSERT_TRUE(GetWindowRect(k().mainWindow(), &outer));
    EXPECT_EQ(outer.left, 422);
    EXPECT_EQ(outer.top, 330);
    EXPECT_EQ(outer.right - outer.left, 179);
    EXPECT_EQ(outer.bottom - outer.top, 108);

    wchar_t caption[64] = {};
    GetWindowTextW(k().mainWindow(), caption, 64);
    EXPECT_EQ(utf8(caption), "Korvalen");

    struct Case {
        int id;
        const wchar_t* cls;  // nullptr: Korvalen's own class, not checked
        LONG x, y, w, h;
        const char* text;  // nullptr: the edit boxes, whose text is data
    };
    const Case cases[] = {
        {kWidthEdit, L"Edit", 14, 8, 50, 32, nullptr},
        {kWidthUpDown, L"msctls_updown32", 64, 8, 18, 32, nullptr},
        {kHeightEdit, L"Edit", 14, 40, 66, 32, nullptr},
        {kModifyButton, L"Button", 88, 8, 80, 64, "修改"},
        {kWidthLabel, nullptr, 2, 16, 40, 24, "宽"},
        {kHeightLabel, nullptr, 2, 48, 40, 24, "高"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(controlName(c.id));
        HWND control = k().control(c.id);
        ASSERT_TRUE(control) << "no child with id " << c.id;
        if (c.cls) {
            EXPECT_EQ(_wcsicmp(windowClass(control).c_str(), c.cls), 0);
        }
        EXPECT_TRUE(IsWindowVisible(control));
        RECT r = rectInClient(control, k().mainWindow());
        EXPECT_EQ(r.left, c.x);
        EXPECT_EQ(r.top, c.y);
        EXPECT_EQ(r.right - r.left, c.w);
        EXPECT_EQ(r.bottom - r.top, c.h);
        if (c.text) {
            EXPECT_EQ(boxText(k(), c.id), c.text);
        }
    }
}

// --- The height follows the width -----------------------------------------

TEST_F(SharedWindowTest, HeightFollowsEveryChangeOfTheWidth) {
    struct Stroke {
        WORD vk;  // 0: type `unicode` instead
        const wchar_t* unicode;
        const char* width;  // 编辑框1 and 编辑框2 after the stroke
        const char* height;
    };
    struct Case {
        const char* name;
        const wchar_t* initialWidth;  // caret placed at its end
        std::vector<Stroke> strokes;
    };
    const Case cases[] = {
        {"digits typed one by one",
         L"",
         {{'8', nullptr, "8", "6"}, {'0', nullptr, "80", "60"}, {'0', nullptr, "800", "600"}}},
        {"deleted back to empty",
         L"640",
         {{VK_BACK, nullptr, "64", "48"},
          {VK_BACK, nullptr, "6", "5"},
          {VK_BACK, nullptr, "", "0"}}},
        {"full-width digits from an input method",
         L"",
         {{0, L"６", "６", "5"}, {0, L"４", "６４", "48"}, {0, L"０", "６４０", "480"}}},
        {"full-width minus", L"", {{0, L"－", "－", "0"}, {0, L"８", "－８", "-6"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(setBoxes(k(), c.initialWidth, nullptr));
        int end = static_cast<int>(wcslen(c.initialWidth));
        ASSERT_TRUE(setEditSelection(k().control(kWidthEdit), end, end));
        ASSERT_TRUE(waitForFocus(k(), kWidthEdit));
        for (const Stroke& s : c.strokes) {
            SCOPED_TRACE(std::string("after the stroke giving ") + s.width);
            ASSERT_TRUE(s.vk ? pressKey(k().mainWindow(), s.vk)
                             : typeUnicode(k().mainWindow(), s.unicode));
            waitUntil(
                [&] {
                    return boxText(k(), kWidthEdit) == s.width &&
                           boxText(k(), kHeightEdit) == s.height;
                },
                kEffectMs);
            ASSERT_EQ(boxText(k(), kWidthEdit), s.width);
            EXPECT_EQ(boxText(k(), kHeightEdit), s.height);
        }
    }
}

TEST_F(SharedWindowTest, UpDownArrowsStepTheWidth) {
    enum Arrow { kUpper, kLower };
    struct Case {
        const wchar_t* before;
        Arrow arrow;
        const char* after;
        const char* height;
    };
    const Case cases[] = {
        {L"640", kUpper, "641", "481"}, {L"847", kUpper, "848", "636"},
        {L"848", kUpper, "0", "0"},     {L"0", kLower, "848", "636"},
        {L"1", kLower, "0", "0"},       {L"", kUpper, "1", "1"},
        {L"", kLower, "848", "636"},    {L"12abc", kUpper, "13", "10"},
        {L"abc", kUpper, "1", "1"},     {L" 7", kUpper, "8", "6"},
        {L"900", kUpper, "0", "0"},     {L"900", kLower, "848", "636"},
        {L"-5", kUpper, "0", "0"},      {L"-5", kLower, "848", "636"},
    };
    HWND upDown = k().control(kWidthUpDown);
    ASSERT_TRUE(upDown);
    for (const Case& c : cases) {
        SCOPED_TRACE("\"" + utf8(c.before) + (c.arrow == kUpper ? "\" upper" : "\" lower"));
        ASSERT_TRUE(setBoxes(k(), c.before, nullptr));
        ASSERT_TRUE(setEditSelection(k().control(kWidthEdit), 0, 0));
        // The focus elsewhere, so that giving it back to 编辑框1 shows.
        ASSERT_TRUE(clickEdit(k(), kHeightEdit));
        ASSERT_TRUE(clickAt(pointIn(upDown, 0.5, c.arrow == kUpper ? 0.25 : 0.75)));
        waitUntil([&] { return boxText(k(), kWidthEdit) == c.after; }, kEffectMs);
        ASSERT_EQ(boxText(k(), kWidthEdit), c.after);
        EXPECT_EQ(boxText(k(), kHeightEdit), c.height);
        Selection all{0, static_cast<int>(strlen(c.after))};
        EXPECT_TRUE(editSelection(k().control(kWidthEdit)) == all)
            << "selection " << editSelection(k().control(kWidthEdit)).start << ","
            << editSelection(k().control(kWidthEdit)).end << " instead of the whole text";
        EXPECT_TRUE(waitForFocus(k(), kWidthEdit)) << "编辑框1 did not get the focus";
    }
}

// --- Keys -----------------------------------------------------------------

TEST_F(SharedWindowTest, TabMovesTheFocusInOrderAndSelectsNothing) {
    struct Case {
        const char* name;
        int from;
        WORD vk;
        unsigned modifiers;
        int to;
    };
    const Case cases[] = {
        {"Tab from 编辑框1", kWidthEdit, VK_TAB, kNoModifier, kHeightEdit},
        {"Tab from 编辑框2", kHeightEdit, VK_TAB, kNoModifier, kModifyButton},
        {"Tab from 按钮1", kModifyButton, VK_TAB, kNoModifier, kWidthEdit},
        {"Shift+Tab from 编辑框1", kWidthEdit, VK_TAB, kShift, kModifyButton},
        {"Shift+Tab from 按钮1", kModifyButton, VK_TAB, kShift, kHeightEdit},
        {"Shift+Tab from 编辑框2", kHeightEdit, VK_TAB, kShift, kWidthEdit},
        {"Ctrl+Tab", kWidthEdit, VK_TAB, kCtrl, kWidthEdit},
        {"arrow down on 按钮1", kModifyButton, VK_DOWN, kNoModifier, kModifyButton},
        {"arrow right in 编辑框1", kWidthEdit, VK_RIGHT, kNoModifier, kWidthEdit},
    };
    const Selection kept{1, 3};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(setBoxes(k(), L"12345", L"67890"));
        ASSERT_TRUE(focusControl(k(), c.from)) << "cannot focus " << controlName(c.from);
        if (c.to != c.from && c.to != kModifyButton) {
            ASSERT_TRUE(setEditSelection(k().control(c.to), kept.start, kept.end));
        }
        ASSERT_TRUE(pressKey(k().mainWindow(), c.vk, c.modifiers));
        EXPECT_TRUE(waitForFocus(k(), c.to));
        if (c.to != c.from && c.to != kModifyButton) {
            Selection now = editSelection(k().control(c.to));
            EXPECT_TRUE(now == kept)
                << "entering changed the selection to " << now.start << "," << now.end;
        }
        // A plain Tab after the key shows that the key was handled in order
        // and left the focus where it was expected.
        ASSERT_TRUE(pressKey(k().mainWindow(), VK_TAB));
        EXPECT_TRUE(waitForFocus(k(), nextInTabOrder(c.to)));
    }
}

TEST_F(SharedWindowTest, EnterPressesNothing) {
    for (int from : {kWidthEdit, kHeightEdit, kModifyButton}) {
        SCOPED_TRACE(controlName(from));
        config.reset();
        ASSERT_TRUE(config.writeFile(kStoredDocument));
        ASSERT_TRUE(setBoxes(k(), L"640", nullptr));
        ASSERT_TRUE(focusControl(k(), from));
        ASSERT_TRUE(pressKey(k().mainWindow(), VK_RETURN));
        // A message box opened by Enter would take the next Tab.
        ASSERT_TRUE(pressKey(k().mainWindow(), VK_TAB));
        EXPECT_TRUE(waitForFocus(k(), nextInTabOrder(from)));
        EXPECT_TRUE(k().otherWindows().empty()) << "Enter opened a window";
        std::string bytes;
        EXPECT_TRUE(config.readFile(&bytes));
        EXPECT_EQ(bytes, kStoredDocument) << "Enter wrote the file";
        EXPECT_EQ(boxText(k(), kWidthEdit), "640");
        EXPECT_EQ(boxText(k(), kHeightEdit), "480");
    }
}

TEST_F(SharedWindowTest, ShiftEscDoesNotClose) {
    ASSERT_TRUE(pressKey(k().mainWindow(), VK_ESCAPE, kShift));
    ASSERT_TRUE(pressKey(k().mainWindow(), VK_TAB));
    EXPECT_TRUE(waitForFocus(k(), kHeightEdit));
    EXPECT_TRUE(k().running());
    EXPECT_TRUE(IsWindowVisible(k().mainWindow()));
}

// --- Writing the file -----------------------------------------------------

TEST_F(SharedWindowTest, PressingTheButtonWritesTheDocumentAndSaysSo) {
    enum class Press { kClick, kSpace };
    struct Case {
        const char* name;
        const char* before;  // the file before; nullptr: none
        const wchar_t* width;
        const wchar_t* height;  // nullptr: as computed from the width
        const char* sizex;
        const char* sizey;
        Press press;
        Dismiss dismissBy;
    };
    const Case cases[] = {
        {"computed height replaces a stored file", kStoredDocument, L"640", nullptr, "640", "480",
         Press::kClick, Dismiss::kEnter},
        {"typed height, no file before", nullptr, L"640", L"360", "640", "360", Press::kClick,
         Dismiss::kClickOk},
        {"space bar on 按钮1", kStoredDocument, L"854", nullptr, "854", "641", Press::kSpace,
         Dismiss::kClickOk},
        {"empty boxes", kStoredDocument, L"", L"", "", "", Press::kClick, Dismiss::kEnter},
        {"markup characters are escaped", nullptr, L"1&2", L"<3>", "1&amp;2", "&lt;3&gt;",
         Press::kClick, Dismiss::kEnter},
    };
    ASSERT_EQ(videoConfigDocument("", "").size(), 224u) << "the expected document is mistyped";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        config.reset();
        if (c.before) {
            ASSERT_TRUE(config.writeFile(c.before));
        }
        ASSERT_TRUE(setBoxes(k(), c.width, c.height));
        std::string width = boxText(k(), kWidthEdit);
        std::string height = boxText(k(), kHeightEdit);
        if (c.press == Press::kClick) {
            ASSERT_TRUE(clickAt(pointIn(k().control(kModifyButton))));
        } else {
            ASSERT_TRUE(focusControl(k(), kModifyButton));
            ASSERT_TRUE(pressKey(k().mainWindow(), VK_SPACE));
        }
        HWND box = waitForMessageBox(k());
        ASSERT_TRUE(box) << "no message box captioned 提示";
        MessageBoxView view = inspectMessageBox(box);
        EXPECT_EQ(utf8(view.text), kSuccessText);
        EXPECT_FALSE(view.hasIcon);
        EXPECT_EQ(view.buttonCount, 1);
        EXPECT_EQ(view.owner, k().mainWindow());
        EXPECT_FALSE(IsWindowEnabled(k().mainWindow())) << "the main window takes input";
        EXPECT_EQ(k().otherWindows().size(), 1u);

        std::string bytes;
        EXPECT_TRUE(config.readFile(&bytes)) << "no file after the click";
        EXPECT_EQ(bytes, videoConfigDocument(c.sizex, c.sizey));
        EXPECT_TRUE(isOnlyConfigFile(config.folderEntries())) << listing(config.folderEntries());

        ASSERT_TRUE(dismiss(box, c.dismissBy));
        EXPECT_TRUE(
            waitUntil([&] { return IsWindowEnabled(k().mainWindow()) != FALSE; }, kEffectMs));
        EXPECT_EQ(boxText(k(), kWidthEdit), width);
        EXPECT_EQ(boxText(k(), kHeightEdit), height);
    }
}

TEST_F(SharedWindowTest, EachClickWritesAgainWithTheBoxesAsTheyStand) {
    struct Round {
        const wchar_t* width;
        const char* sizex;
        const char* sizey;
    };
    const Round rounds[] = {{L"640", "640", "480"}, {L"800", "800", "600"}};
    for (const Round& r : rounds) {
        SCOPED_TRACE(r.sizex);
        // Something else in the file shows that this click wrote it.
        ASSERT_TRUE(config.writeFile("overwritten by the client"));
        ASSERT_TRUE(setBoxes(k(), r.width, nullptr));
        ASSERT_TRUE(clickAt(pointIn(k().control(kModifyButton))));
        HWND box = waitForMessageBox(k());
        ASSERT_TRUE(box);
        EXPECT_EQ(k().otherWindows().size(), 1u) << "more than one message box";
        std::string bytes;
        EXPECT_TRUE(config.readFile(&bytes));
        EXPECT_EQ(bytes, videoConfigDocument(r.sizex, r.sizey));
        ASSERT_TRUE(dismiss(box, Dismiss::kEnter));
        ASSERT_TRUE(
            waitUntil([&] { return IsWindowEnabled(k().mainWindow()) != FALSE; }, kEffectMs));
    }
}

TEST_F(SharedWindowTest, FailedWriteNamesTheReasonAndKeepsTheFile) {
    enum class Fault { kFolderMissing, kReadOnly, kHeldOpen };
    struct Case {
        const char* name;
        Fault fault;
        const char* reason;
    };
    const Case cases[] = {
        {"folder missing", Fault::kFolderMissing, "修改失败：找不到 YY 的配置文件夹"},
        {"read-only file", Fault::kReadOnly, "修改失败：配置文件被占用或为只读"},
        {"file held open without sharing", Fault::kHeldOpen, "修改失败：配置文件被占用或为只读"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        config.reset();
        ASSERT_TRUE(config.writeFile(kStoredDocument));
        switch (c.fault) {
            case Fault::kFolderMissing:
                ASSERT_TRUE(config.removeFolder());
                break;
            case Fault::kReadOnly:
                ASSERT_TRUE(config.setReadOnly(true));
                break;
            case Fault::kHeldOpen:
                ASSERT_TRUE(config.holdOpenExclusive());
                break;
        }
        ASSERT_TRUE(setBoxes(k(), L"640", nullptr));
        ASSERT_TRUE(clickAt(pointIn(k().control(kModifyButton))));
        HWND box = waitForMessageBox(k());
        ASSERT_TRUE(box) << "no message box captioned 提示";
        MessageBoxView view = inspectMessageBox(box);
        EXPECT_EQ(utf8(view.text), std::string(c.reason) + "\n" + utf8(config.path()));
        EXPECT_TRUE(view.hasIcon) << "no warning icon";
        EXPECT_EQ(view.buttonCount, 1);
        EXPECT_EQ(view.owner, k().mainWindow());
        EXPECT_FALSE(IsWindowEnabled(k().mainWindow())) << "the main window takes input";
        ASSERT_TRUE(dismiss(box, Dismiss::kEnter));

        EXPECT_EQ(boxText(k(), kWidthEdit), "640");
        EXPECT_EQ(boxText(k(), kHeightEdit), "480");
        if (c.fault == Fault::kFolderMissing) {
            EXPECT_FALSE(config.folderExists()) << "the write created the folder";
        } else {
            config.release();
            ASSERT_TRUE(config.setReadOnly(false));
            std::string bytes;
            EXPECT_TRUE(config.readFile(&bytes));
            EXPECT_EQ(bytes, kStoredDocument);
            EXPECT_TRUE(isOnlyConfigFile(config.folderEntries()))
                << listing(config.folderEntries());
        }

        // With the fault gone the next click writes to the same path.
        config.reset();
        ASSERT_TRUE(
            waitUntil([&] { return IsWindowEnabled(k().mainWindow()) != FALSE; }, kEffectMs));
        ASSERT_TRUE(clickAt(pointIn(k().control(kModifyButton))));
        box = waitForMessageBox(k());
        ASSERT_TRUE(box);
        EXPECT_EQ(utf8(inspectMessageBox(box).text), kSuccessText);
        std::string bytes;
        EXPECT_TRUE(config.readFile(&bytes));
        EXPECT_EQ(bytes, videoConfigDocument("640", "480"));
        ASSERT_TRUE(dismiss(box, Dismiss::kEnter));
    }
}

}  // namespace
