// composeVideoConfig, joinVideoConfigPath and kVideoConfigRelativePath
// (with the escaping of "&", "<" and ">").
#include "config/document.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "config/markers.h"

namespace {

std::string str(const Text& t) { return std::string(t.c_str(), t.size()); }

const char kRelative[] = "duowan\\yy\\business\\yymusicconfig\\4_5\\101\\65\\bigvideoconfig.xml";

// The document for 640 and 480, written out byte for byte.
const char kDocument640x480[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n"
    "<config>\r\n"
    "    <enable>0</enable>\r\n"
    "    <chnlist />\r\n"
    "    <forcevideosize>\r\n"
    "        <enable>1</enable>\r\n"
    "        <sizex>640</sizex>\r\n"
    "        <sizey>480</sizey>\r\n"
    "    </forcevideosize>\r\n"
    "</config>";

const char kDocumentEmptyValues[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n"
    "<config>\r\n"
    "    <enable>0</enable>\r\n"
    "    <chnlist />\r\n"
    "    <forcevideosize>\r\n"
    "        <enable>1</enable>\r\n"
    "        <sizex></sizex>\r\n"
    "        <sizey></sizey>\r\n"
    "    </forcevideosize>\r\n"
    "</config>";

// The document with any two (already escaped) values.
std::string documentWith(const std::string& width, const std::string& height) {
    std::string d = kDocumentEmptyValues;
    d.insert(d.find("</sizex>"), width);
    d.insert(d.find("</sizey>"), height);
    return d;
}

size_t countOf(const std::string& haystack, const std::string& needle) {
    size_t n = 0;
    for (size_t at = haystack.find(needle); at != std::string::npos;
         at = haystack.find(needle, at + 1)) {
        ++n;
    }
    return n;
}

// ---------------------------------------------------------------- the document

TEST(ComposeVideoConfig, Document640x480) {
    Text document = composeVideoConfig(Text("640"), Text("480"));
    EXPECT_EQ(document.size(), 230u);
    EXPECT_EQ(str(document), std::string(kDocument640x480));
    EXPECT_EQ(sizeof(kDocument640x480) - 1, 230u);
}

TEST(ComposeVideoConfig, EmptyValuesGiveTheFixed224Bytes) {
    Text document = composeVideoConfig(Text(), Text(""));
    EXPECT_EQ(document.size(), 224u);
    EXPECT_EQ(str(document), std::string(kDocumentEmptyValues));
}

TEST(ComposeVideoConfig, Shape) {
    std::string d = str(composeVideoConfig(Text("640"), Text("480")));
    EXPECT_EQ(countOf(d, "\r\n"), 9u);
    EXPECT_EQ(countOf(d, "\n"), 9u);
    EXPECT_EQ(countOf(d, "\r"), 9u);
    EXPECT_EQ(countOf(d, "\t"), 0u);
    EXPECT_EQ(d.back(), '>');
    EXPECT_EQ(d.compare(0, 5, "<?xml"), 0);  // no byte-order mark
    EXPECT_EQ(d.substr(0, 157).size(), 157u);
    EXPECT_EQ(d.substr(0, 157).substr(150), "<sizex>");
    EXPECT_EQ(d.substr(160, 25), "</sizex>\r\n        <sizey>");
    EXPECT_EQ(d.substr(188), "</sizey>\r\n    </forcevideosize>\r\n</config>");
    EXPECT_EQ(d.substr(188).size(), 42u);
}

struct ValueCase {
    const char* name;
    const char* width;
    const char* height;
    const char* writtenWidth;
    const char* writtenHeight;
};

void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.name; }

class ComposeVideoConfigValues : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ComposeVideoConfigValues, WritesValues) {
    const ValueCase& c = GetParam();
    Text document = composeVideoConfig(Text(c.width), Text(c.height));
    std::string expected = documentWith(c.writtenWidth, c.writtenHeight);
    EXPECT_EQ(str(document), expected);
    EXPECT_EQ(document.size(), 224 + strlen(c.writtenWidth) + strlen(c.writtenHeight));
}

const ValueCase kValueCases[] = {
    {"Digits", "640", "480", "640", "480"},
    {"WidthOnly", "640", "", "640", ""},
    {"HeightOnly", "", "480", "", "480"},
    {"NotNumbersUnchanged", " 6,4 px", "-1.5e3", " 6,4 px", "-1.5e3"},
    {"QuotesUnchanged", "\"640\"", "'480'", "\"640\"", "'480'"},
    {"HighBytesUnchanged", "\xA3\xB6\xA3\xB4\xA3\xB0", "\xE4\xB8\xAD\xE9",
     "\xA3\xB6\xA3\xB4\xA3\xB0", "\xE4\xB8\xAD\xE9"},
    {"CrLfUnchanged", "6\r\n40", "48\r\n0", "6\r\n40", "48\r\n0"},
    {"SemicolonAndHashUnchanged", "&#;", "#x3c;", "&amp;#;", "#x3c;"},
    {"Ampersand", "6&4", "&", "6&amp;4", "&amp;"},
    {"LessThan", "<", "4<8", "&lt;", "4&lt;8"},
    {"GreaterThan", ">", "4>8", "&gt;", "4&gt;8"},
    {"EntityIsEscapedAgain", "&amp;", "&lt;", "&amp;amp;", "&amp;lt;"},
    {"MarkupInjection", "1</sizex><enable>0</enable><sizex>", "480",
     "1&lt;/sizex&gt;&lt;enable&gt;0&lt;/enable&gt;&lt;sizex&gt;", "480"},
    {"AllThree", "<&>", "><&", "&lt;&amp;&gt;", "&gt;&lt;&amp;"},
    {"HighByteBeforeLessThan", "\xE9<", "\xD6<", "\xE9&lt;", "\xD6&lt;"},
};
INSTANTIATE_TEST_SUITE_P(Cases, ComposeVideoConfigValues, ::testing::ValuesIn(kValueCases),
                         [](const ::testing::TestParamInfo<ValueCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(ComposeVideoConfig, InjectionAddsNoMarkup) {
    std::string d =
        str(composeVideoConfig(Text("1</sizex><enable>0</enable><sizex>"), Text("</sizey>")));
    EXPECT_EQ(countOf(d, "<enable>"), 2u);
    EXPECT_EQ(countOf(d, "<sizex>"), 1u);
    EXPECT_EQ(countOf(d, "</sizex>"), 1u);
    EXPECT_EQ(countOf(d, "</sizey>"), 1u);
    EXPECT_EQ(countOf(d, "<"), 14u);
    EXPECT_EQ(countOf(d, ">"), 14u);
}

// ---------------------------------------------------------------- round trip

struct RoundTripCase {
    const char* name;
    const char* width;
    const char* height;
    const char* readWidth;
    const char* readHeight;
};

void PrintTo(const RoundTripCase& c, std::ostream* os) { *os << c.name; }

class ComposeThenTextBetween : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(ComposeThenTextBetween, GivesValuesBack) {
    const RoundTripCase& c = GetParam();
    Text document = composeVideoConfig(Text(c.width), Text(c.height));
    EXPECT_EQ(str(textBetween(document, "<sizex>", "</sizex>", 0, false)), c.readWidth);
    EXPECT_EQ(str(textBetween(document, "<sizey>", "</sizey>", 0, false)), c.readHeight);
}

const RoundTripCase kRoundTripCases[] = {
    {"W640H480", "640", "480", "640", "480"},
    {"W848H636", "848", "636", "848", "636"},
    {"Zeros", "0", "0", "0", "0"},
    {"Empty", "", "", "", ""},
    {"Negative", "-1", "-1", "-1", "-1"},
    {"LeadingZeros", "00640", "0480", "00640", "0480"},
    {"Large", "2147483647", "1610612735", "2147483647", "1610612735"},
    {"StoredHeightNotFollowingWidth", "640", "360", "640", "360"},
    // Entities are not decoded on reading: a value with markup comes back
    // escaped, and a marker inside a value no longer cuts it short.
    {"MarkupComesBackEscaped", "1</sizex>2", "<sizey>", "1&lt;/sizex&gt;2", "&lt;sizey&gt;"},
    // A value ending in an odd run of bytes of 0x80 and above joins the end
    // marker's "<" into a two-byte unit: that marker is not seen, and the
    // width reads back empty while the height is still found.
    {"OddHighByteRunHidesEndMarker", "64\x80", "48", "", "48"},
    {"Cp1252AccentHidesEndMarker", "caf\xE9", "48", "", "48"},
};
INSTANTIATE_TEST_SUITE_P(Cases, ComposeThenTextBetween, ::testing::ValuesIn(kRoundTripCases),
                         [](const ::testing::TestParamInfo<RoundTripCase>& info) {
                             return std::string(info.param.name);
                         });

// A value saved and read back at the next start is the value typed, however
// often that happens: reading undoes the escaping of "&", "<" and ">".
TEST(UnescapeVideoConfigValue, SaveThenStartGivesTheTypedValue) {
    const char* typed[] = {"640", "A&B", "1</sizex>2", "&lt;",  "&amp;amp;",
                           "&",   "&am", "\xD6\xD0&",  "<>&<>", ""};
    for (const char* value : typed) {
        SCOPED_TRACE(value);
        Text current(value);
        for (int start = 0; start < 3; ++start) {
            Text document = composeVideoConfig(current, "480");
            current =
                unescapeVideoConfigValue(textBetween(document, "<sizex>", "</sizex>", 0, false));
        }
        EXPECT_EQ(str(current), value);
    }
}

TEST(UnescapeVideoConfigValue, DecodesOnlyTheThreeEntitiesInOnePass) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"&amp;", "&"},
        {"&lt;&gt;", "<>"},
        {"&amp;lt;", "&lt;"},
        {"&quot;&#60;", "&quot;&#60;"},
        {"&AMP;", "&AMP;"},
        {"&am", "&am"},
        {"1&gt", "1&gt"},
        {"&&lt;", "&<"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(str(unescapeVideoConfigValue(c.in)), c.out) << c.in;
    }
}

// ---------------------------------------------------------------- the path

TEST(VideoConfigRelativePath, Is62Bytes) {
    EXPECT_EQ(strlen(kVideoConfigRelativePath), 62u);
    EXPECT_STREQ(kVideoConfigRelativePath, kRelative);
    EXPECT_NE(kVideoConfigRelativePath[0], '\\');
}

struct PathCase {
    const char* name;
    const char* folder;
    const char* expected;
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << c.name; }

class JoinVideoConfigPath : public ::testing::TestWithParam<PathCase> {};

TEST_P(JoinVideoConfigPath, Joins) {
    const PathCase& c = GetParam();
    EXPECT_EQ(str(joinVideoConfigPath(Text(c.folder))), std::string(c.expected));
}

#define ROAMING "C:\\Users\\yy\\AppData\\Roaming"
const PathCase kPathCases[] = {
    {"NoTrailingBackslash", ROAMING,
     ROAMING "\\"
             "duowan\\yy\\business\\yymusicconfig\\4_5\\101\\65\\bigvideoconfig.xml"},
    {"TrailingBackslash", ROAMING "\\",
     ROAMING "\\"
             "duowan\\yy\\business\\yymusicconfig\\4_5\\101\\65\\bigvideoconfig.xml"},
    {"DriveRoot", "C:\\",
     "C:\\duowan\\yy\\business\\yymusicconfig\\4_5\\101\\65\\bigvideoconfig.xml"},
    {"Empty", "", "duowan\\yy\\business\\yymusicconfig\\4_5\\101\\65\\bigvideoconfig.xml"},
    {"SingleBackslash", "\\",
     "\\duowan\\yy\\business\\yymusicconfig\\4_5\\101\\65\\bigvideoconfig.xml"},
    {"ForwardSlashGetsBackslash", "C:/data/",
     "C:/data/\\duowan\\yy\\business\\yymusicconfig\\4_5\\101\\65\\bigvideoconfig.xml"},
    // Only the last byte is looked at: Shift-JIS 表 (95 5C) ends in 5C.
    {"LastByteAloneDecides", "D:\\\x95\x5C",
     "D:\\\x95\x5C"
     "duowan\\yy\\business\\yymusicconfig\\4_5\\101\\65\\bigvideoconfig.xml"},
    {"Gbk936FolderName", "D:\\\xD6\xD0\xCE\xC4",
     "D:\\\xD6\xD0\xCE\xC4\\duowan\\yy\\business\\yymusicconfig\\4_5\\101\\65\\bigvideoconfig.xml"},
};
INSTANTIATE_TEST_SUITE_P(Cases, JoinVideoConfigPath, ::testing::ValuesIn(kPathCases),
                         [](const ::testing::TestParamInfo<PathCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(JoinVideoConfigPathLong, Folder259BytesGetsItsBackslash) {
    std::string folder = "C:\\" + std::string(256, 'a');
    ASSERT_EQ(folder.size(), 259u);
    Text path = joinVideoConfigPath(Text(folder.c_str()));
    ASSERT_EQ(path.size(), 260u + 62u);
    EXPECT_EQ(str(path), folder + "\\" + kRelative);
    EXPECT_EQ(path.byte(259), '\\');
}

TEST(JoinVideoConfigPathLong, Folder259BytesWithBackslashGetsNoSecond) {
    std::string folder = "C:\\" + std::string(255, 'a') + "\\";
    ASSERT_EQ(folder.size(), 259u);
    Text path = joinVideoConfigPath(Text(folder.c_str()));
    EXPECT_EQ(path.size(), 259u + 62u);
    EXPECT_EQ(str(path), folder + kRelative);
}

}  // namespace
