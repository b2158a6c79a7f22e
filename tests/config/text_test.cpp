// Text and ByteBuffer: conversions at the first zero byte, ownership, copies.
#include "config/text.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <utility>

namespace {

std::string str(const Text& t) { return std::string(t.c_str(), t.size()); }
std::string str(const ByteBuffer& b) {
    return b.count() > 0 ? std::string(b.data(), static_cast<size_t>(b.count())) : std::string();
}

// ---------------------------------------------------------------- Text

TEST(Text, DefaultIsEmptyWithEmptyCString) {
    Text t;
    EXPECT_TRUE(t.empty());
    EXPECT_EQ(t.size(), 0u);
    ASSERT_NE(t.c_str(), nullptr);
    EXPECT_STREQ(t.c_str(), "");
}

TEST(Text, AbsentAndEmptyAreTheSameValue) {
    EXPECT_EQ(Text(nullptr), Text());
    EXPECT_EQ(Text(""), Text());
    EXPECT_EQ(Text("abc", 0), Text());
    EXPECT_EQ(Text(nullptr, 5), Text());
    EXPECT_TRUE(Text(nullptr).empty());
}

TEST(Text, FromCString) {
    Text t("640");
    EXPECT_EQ(t.size(), 3u);
    EXPECT_STREQ(t.c_str(), "640");
    EXPECT_EQ(t.byte(0), '6');
}

TEST(Text, HighBytesAreKeptAsUnsigned) {
    Text t("\xD6\xD0\xE9");
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t.byte(0), 0xD6);
    EXPECT_EQ(t.byte(1), 0xD0);
    EXPECT_EQ(t.byte(2), 0xE9);
}

struct CountedCase {
    const char* name;
    const char* bytes;
    size_t count;
    const char* expected;
};

void PrintTo(const CountedCase& c, std::ostream* os) { *os << c.name; }

class TextFromCountedBytes : public ::testing::TestWithParam<CountedCase> {};

TEST_P(TextFromCountedBytes, StopsAtFirstZeroByte) {
    const CountedCase& c = GetParam();
    Text t(c.bytes, c.count);
    EXPECT_EQ(str(t), std::string(c.expected));
    EXPECT_EQ(t.c_str()[t.size()], '\0');
}

const CountedCase kCountedCases[] = {
    {"NoZero", "abcdef", 6, "abcdef"},
    {"Prefix", "abcdef", 3, "abc"},
    {"ZeroInside", "ab\0cd", 5, "ab"},
    {"ZeroFirst", "\0abc", 4, ""},
    {"ZeroLast", "abc\0", 4, "abc"},
    {"CountZero", "abc", 0, ""},
    {"HighBytesThenZero", "\xE4\xB8\xAD\0x", 5, "\xE4\xB8\xAD"},
};
INSTANTIATE_TEST_SUITE_P(Cases, TextFromCountedBytes, ::testing::ValuesIn(kCountedCases),
                         [](const ::testing::TestParamInfo<CountedCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(Text, CopyIsIndependent) {
    Text a("640");
    Text b(a);
    EXPECT_EQ(a, b);
    EXPECT_NE(a.c_str(), b.c_str());
    Text c;
    c = a;
    EXPECT_EQ(c, a);
    EXPECT_NE(c.c_str(), a.c_str());
}

TEST(Text, CopyAssignReplacesAndSelfAssignKeeps) {
    Text a("long old value");
    a = Text("x");
    EXPECT_EQ(str(a), "x");
    const Text& same = a;
    a = same;
    EXPECT_EQ(str(a), "x");
    a = Text();
    EXPECT_TRUE(a.empty());
}

TEST(Text, MoveLeavesSourceEmpty) {
    Text a("480");
    const char* bytes = a.c_str();
    Text b(std::move(a));
    EXPECT_EQ(b.c_str(), bytes);
    EXPECT_TRUE(a.empty());  // NOLINT: the moved-from value is specified
    EXPECT_STREQ(a.c_str(), "");
    Text c("old");
    c = std::move(b);
    EXPECT_EQ(c.c_str(), bytes);
    EXPECT_TRUE(b.empty());  // NOLINT
}

TEST(Text, Equality) {
    EXPECT_EQ(Text("640"), Text("640"));
    EXPECT_NE(Text("640"), Text("641"));
    EXPECT_NE(Text("640"), Text("6400"));
    EXPECT_NE(Text("640"), Text());
    EXPECT_TRUE(Text("a") != Text("A"));
}

TEST(Text, AdoptTakesTheBuffer) {
    char* buffer = static_cast<char*>(malloc(4));
    ASSERT_NE(buffer, nullptr);
    memcpy(buffer, "640", 4);
    Text t = Text::adopt(buffer, 3);
    EXPECT_EQ(t.c_str(), buffer);
    EXPECT_EQ(str(t), "640");
}

TEST(Text, AdoptEndsAtFirstZeroByte) {
    char* buffer = static_cast<char*>(malloc(6));
    ASSERT_NE(buffer, nullptr);
    memcpy(buffer, "ab\0cd", 6);
    Text t = Text::adopt(buffer, 5);
    EXPECT_EQ(str(t), "ab");
}

TEST(Text, AdoptEmptyFreesAndGivesEmpty) {
    char* buffer = static_cast<char*>(malloc(1));
    ASSERT_NE(buffer, nullptr);
    buffer[0] = '\0';
    EXPECT_TRUE(Text::adopt(buffer, 0).empty());  // LeakSanitizer checks the free
    EXPECT_TRUE(Text::adopt(nullptr, 0).empty());
}

// ---------------------------------------------------------------- ByteBuffer

TEST(ByteBuffer, DefaultIsEmpty) {
    ByteBuffer b;
    EXPECT_EQ(b.count(), 0);
    EXPECT_TRUE(b.toText().empty());
}

TEST(ByteBuffer, FromTextTakesBytesWithoutTerminatingZero) {
    ByteBuffer b(Text("640\xE9"));
    ASSERT_EQ(b.count(), 4);
    EXPECT_EQ(str(b), "640\xE9");
}

TEST(ByteBuffer, FromEmptyTextIsEmpty) {
    ByteBuffer b{Text()};
    EXPECT_EQ(b.count(), 0);
}

struct BufferCase {
    const char* name;
    const char* bytes;
    int32_t count;
    const char* expected;
};

void PrintTo(const BufferCase& c, std::ostream* os) { *os << c.name; }

class ByteBufferToText : public ::testing::TestWithParam<BufferCase> {};

TEST_P(ByteBufferToText, KeepsBytesBeforeFirstZero) {
    const BufferCase& c = GetParam();
    ByteBuffer b;
    ASSERT_TRUE(b.allocate(c.count));
    if (c.count > 0) memcpy(b.data(), c.bytes, static_cast<size_t>(c.count));
    EXPECT_EQ(str(b.toText()), std::string(c.expected));
}

const BufferCase kBufferCases[] = {
    {"NoZeroGivesAllBytes", "<sizex>640</sizex>", 18, "<sizex>640</sizex>"},
    {"ZeroInMiddle", "<a>\0<sizex>640", 14, "<a>"},
    {"ZeroFirst", "\0abc", 4, ""},
    {"Utf16LittleEndian", "\xFF\xFE<\0s\0", 6, "\xFF\xFE<"},
    {"Utf8ByteOrderMarkKept", "\xEF\xBB\xBF<x>", 6, "\xEF\xBB\xBF<x>"},
    {"Empty", "", 0, ""},
};
INSTANTIATE_TEST_SUITE_P(Cases, ByteBufferToText, ::testing::ValuesIn(kBufferCases),
                         [](const ::testing::TestParamInfo<BufferCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(ByteBuffer, AllocateZeroAndNegative) {
    ByteBuffer b;
    ASSERT_TRUE(b.allocate(3));
    EXPECT_EQ(b.count(), 3);
    EXPECT_TRUE(b.allocate(0));
    EXPECT_EQ(b.count(), 0);
    EXPECT_FALSE(b.allocate(-1));
    EXPECT_EQ(b.count(), 0);
    EXPECT_EQ(b.data(), nullptr);
}

TEST(ByteBuffer, ShrinkKeepsFirstBytes) {
    ByteBuffer b(Text("abcdef"));
    b.shrink(10);  // larger: no change
    EXPECT_EQ(str(b), "abcdef");
    b.shrink(4);
    EXPECT_EQ(str(b), "abcd");
    EXPECT_EQ(str(b.toText()), "abcd");
    b.shrink(-3);
    EXPECT_EQ(b.count(), 0);
    EXPECT_TRUE(b.toText().empty());
}

TEST(ByteBuffer, MoveLeavesSourceEmpty) {
    ByteBuffer a(Text("640"));
    ByteBuffer b(std::move(a));
    EXPECT_EQ(a.count(), 0);  // NOLINT
    EXPECT_EQ(str(b), "640");
    ByteBuffer c(Text("x"));
    c = std::move(b);
    EXPECT_EQ(b.count(), 0);  // NOLINT
    EXPECT_EQ(str(c), "640");
}

TEST(ByteBuffer, RoundTripThroughText) {
    Text original("<sizex>640</sizex>\r\n\xD6\xD0");
    EXPECT_EQ(ByteBuffer(original).toText(), original);
}

}  // namespace
