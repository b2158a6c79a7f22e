// textBetween: a table of cases, grouped by what they exercise.
#include "config/markers.h"

#include <gtest/gtest.h>
#include <stdint.h>

#include <string>

namespace {

std::string str(const Text& t) { return std::string(t.c_str(), t.size()); }

// The placeholder "#引号" in code page 936; a double quote inside a marker.
#define PH "\x23\xD2\xFD\xBA\xC5"

struct Case {
    const char* name;
    const char* text;
    const char* startMarker;
    const char* endMarker;
    int32_t startPosition;
    bool ignoreCase;
    const char* expected;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class TextBetween : public ::testing::TestWithParam<Case> {};

TEST_P(TextBetween, Yields) {
    const Case& c = GetParam();
    Text text(c.text);
    Text start(c.startMarker);
    Text end(c.endMarker);
    Text result = textBetween(text, start, end, c.startPosition, c.ignoreCase);
    EXPECT_EQ(str(result), std::string(c.expected));
    // The inputs are not changed.
    EXPECT_EQ(str(text), std::string(c.text));
    EXPECT_EQ(str(start), std::string(c.startMarker));
    EXPECT_EQ(str(end), std::string(c.endMarker));
}

std::string caseName(const ::testing::TestParamInfo<Case>& info) { return info.param.name; }

// Two pairs: the startPosition cases run on it.
#define TWO_PAIRS "<sizex>1</sizex><sizex>2</sizex>"

const Case kBasicCases[] = {
    {"Value", "<sizex>640</sizex>", "<sizex>", "</sizex>", 0, false, "640"},
    {"ValueInDocument", "<a>\r\n  <sizex>640</sizex>\r\n  <sizey>480</sizey>\r\n</a>", "<sizey>",
     "</sizey>", 0, false, "480"},
    {"AdjacentMarkersGiveEmpty", "<sizex></sizex>", "<sizex>", "</sizex>", 0, false, ""},
    {"NoEndMarker", "<sizex>640", "<sizex>", "</sizex>", 0, false, ""},
    {"EndMarkerOnlyBeforeStart", "</sizex>x<sizex>640", "<sizex>", "</sizex>", 0, false, ""},
    {"NoStartMarker", "640</sizex>", "<sizex>", "</sizex>", 0, false, ""},
    {"SelfClosing", "<sizex/>", "<sizex>", "</sizex>", 0, false, ""},
    {"SelfClosingWithBlank", "<sizex />640</sizex>", "<sizex>", "</sizex>", 0, false, ""},
    {"FirstPairWins", TWO_PAIRS, "<sizex>", "</sizex>", 0, false, "1"},
    {"RepeatedStartIsNotNesting", "<sizex><sizex>1</sizex>", "<sizex>", "</sizex>", 0, false,
     "<sizex>1"},
    {"NotTrimmed", "<sizex> 640 </sizex>", "<sizex>", "</sizex>", 0, false, " 640 "},
    {"EntitiesNotDecoded", "<sizex>&lt;1&amp;</sizex>", "<sizex>", "</sizex>", 0, false,
     "&lt;1&amp;"},
    {"StartMarkerAtVeryEnd", "abc<sizex>", "<sizex>", "</sizex>", 0, false, ""},
    {"EmptyText", "", "<sizex>", "</sizex>", 0, false, ""},
    {"NeedleLongerThanText", "<sizex", "<sizex>", "</sizex>", 0, false, ""},
    {"EndNeedleLongerThanRest", "<sizex>64</size", "<sizex>", "</sizex>", 0, false, ""},
};
INSTANTIATE_TEST_SUITE_P(Basic, TextBetween, ::testing::ValuesIn(kBasicCases), caseName);

const Case kCaseCases[] = {
    {"UpperCaseExact", "<SIZEX>640</SIZEX>", "<sizex>", "</sizex>", 0, false, ""},
    {"UpperCaseIgnored", "<SIZEX>640</SIZEX>", "<sizex>", "</sizex>", 0, true, "640"},
    {"MixedCaseIgnored", "<SiZeX>640</sIzEx>", "<sizex>", "</SIZEX>", 0, true, "640"},
    {"ValueKeepsItsCase", "<X>AbC</X>", "<x>", "</x>", 0, true, "AbC"},
    // Only A-Z and a-z fold: '[' (5B) and '{' (7B), '@' (40) and '`' (60) do not.
    {"BracketsDoNotFold", "{5]", "[", "]", 0, true, ""},
    {"AtAndBacktickDoNotFold", "`5;", "@", ";", 0, true, ""},
    // Bytes of 0x80 and above compare exactly: C9 does not match E9.
    {"HighBytesDoNotFold", "x\xE9=5;", "\xC9=", ";", 0, true, ""},
    {"HighBytesMatchExactly", "x\xE9=5;", "\xE9=", ";", 0, true, "5"},
};
INSTANTIATE_TEST_SUITE_P(IgnoreCase, TextBetween, ::testing::ValuesIn(kCaseCases), caseName);

const Case kStartPositionCases[] = {
    {"Zero", TWO_PAIRS, "<sizex>", "</sizex>", 0, false, "1"},
    {"One", TWO_PAIRS, "<sizex>", "</sizex>", 1, false, "1"},
    {"MinusFive", TWO_PAIRS, "<sizex>", "</sizex>", -5, false, "1"},
    {"Int32Min", TWO_PAIRS, "<sizex>", "</sizex>", INT32_MIN, false, "1"},
    {"TwoSkipsFirstMarker", TWO_PAIRS, "<sizex>", "</sizex>", 2, false, "2"},
    {"OnSecondStartMarker", TWO_PAIRS, "<sizex>", "</sizex>", 17, false, "2"},
    {"JustPastSecondStartMarker", TWO_PAIRS, "<sizex>", "</sizex>", 18, false, ""},
    {"Hundred", TWO_PAIRS, "<sizex>", "</sizex>", 100, false, ""},
    {"LastByte", TWO_PAIRS, "<sizex>", "</sizex>", 32, false, ""},
    {"OnePastEnd", TWO_PAIRS, "<sizex>", "</sizex>", 33, false, ""},
    {"Int32Max", TWO_PAIRS, "<sizex>", "</sizex>", INT32_MAX, false, ""},
};
INSTANTIATE_TEST_SUITE_P(StartPosition, TextBetween, ::testing::ValuesIn(kStartPositionCases),
                         caseName);

const Case kPlaceholderCases[] = {
    {"StandsForQuote", "a=\"5\"", "a=" PH, PH, 0, false, "5"},
    {"TwoInOneMarker", "x\"\"y\"", PH PH, PH, 0, false, "y"},
    {"InTextIsNotReplaced", "a=" PH "5" PH, "a=\"", "\"", 0, false, ""},
    {"InTextMatchedLiterally", "a=" PH "5;", "a=" PH, ";", 0, false, ""},
    // After B0 the scan's unit is B0 23, so the placeholder is not seen and
    // the marker stays as it is.
    {"OnSecondByteOfUnitKept", "\xB0" PH "5;", "\xB0" PH, ";", 0, false, "5"},
    {"IncompletePlaceholderKept", "\x23\xD2\xFD\xBA=5;", "\x23\xD2\xFD\xBA=", ";", 0, false, "5"},
    {"QuotedAttribute", "<video size=\"640\" />", "size=" PH, PH, 0, false, "640"},
};
INSTANTIATE_TEST_SUITE_P(Placeholder, TextBetween, ::testing::ValuesIn(kPlaceholderCases),
                         caseName);

const Case kEmptyMarkerCases[] = {
    // An empty start marker is found at position 1 when the start position
    // leaves a byte, whatever the start position is.
    {"EmptyStartFromThree", "abc</sizex>", "", "</sizex>", 3, false, "abc"},
    {"EmptyStartFromZero", "abc</sizex>", "", "</sizex>", 0, false, "abc"},
    {"EmptyStartFromLastByte", "abc</sizex>", "", "</sizex>", 11, false, "abc"},
    {"EmptyStartPastEnd", "abc</sizex>", "", "</sizex>", 12, false, ""},
    {"EmptyStartEmptyText", "", "", "</sizex>", 0, false, ""},
    {"EmptyEnd", "<sizex>640</sizex>", "<sizex>", "", 0, false, ""},
    {"BothEmpty", "abc", "", "", 0, false, ""},
};
INSTANTIATE_TEST_SUITE_P(EmptyMarker, TextBetween, ::testing::ValuesIn(kEmptyMarkerCases),
                         caseName);

const Case kSteppingCases[] = {
    // UTF-8 中 (E4 B8 AD): an odd run; AD and "<" form one unit.
    {"Utf8OneThreeByteCharHides", "\xE4\xB8\xAD<sizex>640</sizex>", "<sizex>", "</sizex>", 0, false,
     ""},
    {"Utf8HiddenThenLaterFound", "\xE4\xB8\xAD<sizex>640</sizex><sizex>480</sizex>", "<sizex>",
     "</sizex>", 0, false, "480"},
    // 中文 (E4 B8 AD E6 96 87): an even run.
    {"Utf8TwoThreeByteCharsDoNotHide", "\xE4\xB8\xAD\xE6\x96\x87<sizex>640</sizex>", "<sizex>",
     "</sizex>", 0, false, "640"},
    {"Utf8TwoByteCharDoesNotHide", "\xC3\xA9<sizex>640</sizex>", "<sizex>", "</sizex>", 0, false,
     "640"},
    {"Utf8FourByteCharDoesNotHide", "\xF0\x9F\x98\x80<sizex>640</sizex>", "<sizex>", "</sizex>", 0,
     false, "640"},
    {"SingleByteE9Hides", "\xE9<sizex>640</sizex>", "<sizex>", "</sizex>", 0, false, ""},
    {"E9ThenAsciiDoesNotHide", "\xE9x<sizex>640</sizex>", "<sizex>", "</sizex>", 0, false, "640"},
    {"Gbk936DoesNotHide", "\xD6\xD0<sizex>640</sizex>", "<sizex>", "</sizex>", 0, false, "640"},
    // Start on the second byte of a pair: the units shift.
    {"GbkStartOnSecondByteHides", "\xD6\xD0<sizex>640</sizex>", "<sizex>", "</sizex>", 2, false,
     ""},
    {"Utf8StartOnSecondByteFinds", "\xE4\xB8\xAD<sizex>640</sizex>", "<sizex>", "</sizex>", 2,
     false, "640"},
    {"Utf8StartOnThirdByteHides", "\xE4\xB8\xAD<sizex>640</sizex>", "<sizex>", "</sizex>", 3, false,
     ""},
    // The end marker is hidden the same way; the next one ends the value.
    {"EndMarkerHidden", "<sizex>64\xE9</sizex>1</sizex>", "<sizex>", "</sizex>", 0, false,
     "64\xE9</sizex>1"},
    // The end search steps from p whatever precedes it, even when the start
    // marker ends in the first byte of a unit.
    {"EndSearchRestartsAtP", "[\xE9;5;", "[\xE9", ";", 0, false, ""},
    // A needle with a double-byte character matches only on a unit start.
    {"DoubleByteNeedle", "x\xD6\xD0=7;", "\xD6\xD0=", ";", 0, false, "7"},
    {"DoubleByteNeedleStraddlingUnits", "\xB0\xD6\xD0=7;", "\xD6\xD0=", ";", 0, false, ""},
    // A lone high byte at the very end: the scan steps past the end safely.
    {"LoneHighByteAtEnd", "ab\xE9", "z", ";", 0, false, ""},
    {"OddHighRunAtEnd", "a\xE9\xE9\xE9", "x", ";", 0, false, ""},
    {"OnlyALoneHighByte", "\xE9", "x", ";", 0, false, ""},
    {"EndSearchPastLoneHighByte", "<x>5\xE9", "<x>", ";", 0, false, ""},
    {"NeedleWithHighByteAtEnd", "<x>5\xE9", "<x>", "\xE9", 0, false, "5"},
};
INSTANTIATE_TEST_SUITE_P(Stepping, TextBetween, ::testing::ValuesIn(kSteppingCases), caseName);

}  // namespace
