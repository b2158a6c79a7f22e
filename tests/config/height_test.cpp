// heightForWidth: the table of typed widths, the full-width table, and the
// closed formula checked against the literal double steps with "%.13g".
#include "config/height.h"

#include <gtest/gtest.h>
#include <math.h>
#include <stdint.h>
#include <stdio.h>

#include <string>

namespace {

std::string str(const Text& t) { return std::string(t.c_str(), t.size()); }

struct Case {
    const char* name;
    const char* width;
    const char* height;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class HeightForWidth : public ::testing::TestWithParam<Case> {};

TEST_P(HeightForWidth, Yields) {
    const Case& c = GetParam();
    EXPECT_EQ(str(heightForWidth(Text(c.width))), std::string(c.height)) << "width: " << c.width;
}

std::string caseName(const ::testing::TestParamInfo<Case>& info) { return info.param.name; }

// Typed widths and their heights, row by row.
const Case kTypedWidths[] = {
    {"Empty", "", "0"},
    {"Letters", "abc", "0"},
    {"W640", "640", "480"},
    {"W1", "1", "1"},
    {"W2", "2", "2"},
    {"W3", "3", "2"},
    {"W5", "5", "4"},
    {"W6", "6", "5"},
    {"Minus1", "-1", "-1"},
    {"Minus2", "-2", "-2"},
    {"Minus6", "-6", "-5"},
    {"BlankThen12", " 12", "9"},
    {"TabThen7", "\t7", "5"},
    {"TrailingLetters", "12px", "9"},
    {"DecimalPoint", "1.9", "1"},
    {"PlusSign", "+8", "6"},
    {"MinusBlankFive", "- 5", "0"},
    {"TwoMinus", "--5", "0"},
    {"Hex", "0x10", "0"},
    {"LeadingZeros", "00640", "480"},
    {"W854", "854", "641"},
    {"Int32Max", "2147483647", "1610612735"},
    {"Int32MaxPlus1Wraps", "2147483648", "-1610612736"},
    {"Int32Min", "-2147483648", "-1610612736"},
    {"TwoTo32Wraps", "4294967296", "0"},
    {"TwoTo32Plus1Wraps", "4294967297", "1"},
    {"FullWidth640", "\xA3\xB6\xA3\xB4\xA3\xB0", "480"},
    {"FullWidthMinus8", "\xA3\xAD\xA3\xB8", "-6"},
    {"IdeographicSpaceThenFullWidth12", "\xA1\xA1\xA3\xB1\xA3\xB2", "9"},
    {"SixIdeographicSpaceFour",
     "6\xA1\xA1"
     "4",
     "5"},
    {"Gbk936ZhongThen640",
     "\xD6\xD0"
     "640",
     "0"},
};
INSTANTIATE_TEST_SUITE_P(TypedWidths, HeightForWidth, ::testing::ValuesIn(kTypedWidths), caseName);

const Case kMoreCases[] = {
    {"W641", "641", "481"},
    {"W800", "800", "600"},
    {"W8", "8", "6"},
    {"W80", "80", "60"},
    {"W848", "848", "636"},
    {"Zero", "0", "0"},
    {"MinusZero", "-0", "0"},
    {"PlusZero", "+0", "0"},
    {"SignAlone", "-", "0"},
    {"PlusMinus", "+-5", "0"},
    {"AllBlankBytes", "\t\n\v\f\r 8", "6"},
    {"ControlByteNotBlank",
     "\x1F"
     "8",
     "0"},
    {"BlankAfterSign", "+ 8", "0"},
    {"TwoTo32Minus1", "4294967295", "-1"},
    {"MinusTwoTo32Minus1", "-4294967295", "1"},
    {"ThreeBillionWraps", "3000000000", "-971225472"},
    {"ManyDigitsWrap", "99999999999999999999", "1246494719"},
    {"FullWidthPlus8", "\xA3\xAB\xA3\xB8", "6"},
    {"MixedFullWidthAndAscii",
     "\xA3\xB6"
     "4\xA3\xB0",
     "480"},
    {"FullWidthThenLoneHighByte", "\xA3\xB6\xA3", "5"},
    {"DigitsThenLoneHighByte", "64\xA3", "48"},
    {"LoneHighByteOnly", "\xA3", "0"},
    {"A3A0NotInTable",
     "\xA3\xA0"
     "5",
     "0"},
    {"A3FFNotInTable",
     "\xA3\xFF"
     "5",
     "0"},
    {"FullWidthPointEndsNumber", "\xA3\xB1\xA3\xAE\xA3\xB9", "1"},
    {"StarEndsNumber",
     "\xA1\xEF"
     "5",
     "0"},
    {"TildeEndsNumber",
     "\xA1\xAB"
     "5",
     "0"},
    {"FullWidthDigitAfterCopiedPair", "\xD6\xD0\xA3\xB8", "0"},
    // The second byte of a copied pair is not read as a digit.
    {"CopiedPairSecondByteNotDigit",
     "\xB0"
     "5",
     "0"},
    {"Utf8FullWidthDigitsNotConverted", "\xEF\xBC\x96", "0"},
};
INSTANTIATE_TEST_SUITE_P(More, HeightForWidth, ::testing::ValuesIn(kMoreCases), caseName);

TEST(HeightForWidthFullWidth, A3PairsActAsSecondByteMinus80) {
    // A3 A1..A3 FE followed by 8 reads as the ASCII byte (second - 80) then 8.
    for (int second = 0xA1; second <= 0xFE; ++second) {
        const char fullWidth[] = {'\xA3', static_cast<char>(second), '8', '\0'};
        const char ascii[] = {static_cast<char>(second - 0x80), '8', '\0'};
        EXPECT_EQ(str(heightForWidth(Text(fullWidth))), str(heightForWidth(Text(ascii))))
            << "second byte " << second;
    }
}

TEST(HeightForWidthFullWidth, EachFullWidthDigitEqualsAscii) {
    for (int d = 0; d <= 9; ++d) {
        const char fullWidth[] = {'\xA3', static_cast<char>(0xB0 + d), '\xA3',
                                  static_cast<char>(0xB0 + d), '\0'};
        const char ascii[] = {static_cast<char>('0' + d), static_cast<char>('0' + d), '\0'};
        EXPECT_EQ(str(heightForWidth(Text(fullWidth))), str(heightForWidth(Text(ascii))));
    }
}

// Scaling, rounding and formatting literally, in double precision, then "%.13g".
std::string referenceHeight(int32_t w) {
    double value = static_cast<double>(w);
    value = value / 4.0;
    value = value * 3.0;
    double rounded = 0.0;
    if (value != 0.0) {
        double a = fabs(value);
        double s = a + 1e-12;
        double i = 0.0;
        double f = modf(s, &i);
        double magnitude = f >= 0.5 ? i + 1.0 : i;
        rounded = value < 0 ? -magnitude : magnitude;
    }
    char buffer[64];
    snprintf(buffer, sizeof(buffer), "%.13g", rounded);
    return buffer;
}

std::string decimal(int32_t w) {
    char buffer[16];
    snprintf(buffer, sizeof(buffer), "%ld", static_cast<long>(w));
    return buffer;
}

void expectMatchesReference(int32_t w) {
    std::string width = decimal(w);
    EXPECT_EQ(str(heightForWidth(Text(width.c_str()))), referenceHeight(w)) << "w = " << w;
}

TEST(HeightForWidthFormula, MatchesDoubleStepsNearBoundaries) {
    for (int32_t w = -2000; w <= 2000; ++w) expectMatchesReference(w);
    for (int32_t k = 0; k < 200; ++k) {
        expectMatchesReference(INT32_MAX - k);
        expectMatchesReference(INT32_MIN + k);
    }
    for (int shift = 0; shift < 31; ++shift) {
        int32_t p = static_cast<int32_t>(uint32_t{1} << shift);
        for (int32_t d = -2; d <= 2; ++d) {
            if (p + d > 0) {
                expectMatchesReference(p + d);
                expectMatchesReference(-(p + d));
            }
        }
    }
}

TEST(HeightForWidthFormula, MatchesDoubleStepsOnSample) {
    uint32_t state = 12345u;  // a fixed linear congruential sequence
    for (int n = 0; n < 20000; ++n) {
        state = state * 1664525u + 1013904223u;
        int32_t w =
            state >= 0x80000000u ? -static_cast<int32_t>(~state) - 1 : static_cast<int32_t>(state);
        expectMatchesReference(w);
    }
}

TEST(HeightForWidthFormula, WrappedTextEqualsSignedValue) {
    // 2^32 + w reads as w.
    EXPECT_EQ(str(heightForWidth(Text("4294967936"))), "480");   // 2^32 + 640
    EXPECT_EQ(str(heightForWidth(Text("-4294966656"))), "480");  // -(2^32 - 640)
}

TEST(HeightForWidthResult, NeverEmpty) {
    const char* inputs[] = {"", " ", "-", "\xA3", "\xD6\xD0", "x"};
    for (const char* input : inputs) EXPECT_FALSE(heightForWidth(Text(input)).empty());
}

}  // namespace
