// One step of the width box's up-down arrows, from the box's text to its new text.
#include "ui/width_stepping.h"

#include <gtest/gtest.h>
#include <stdint.h>

namespace {

struct StepCase {
    const char* before;
    bool up;
    const char* after;
};

TEST(WidthStepping, StepsTheBoxTextWithinTheRange) {
    const StepCase cases[] = {
        {"847", true, "848"},
        {"848", true, "0"},
        {"0", false, "848"},
        {"1", false, "0"},
        {"", true, "1"},
        {"", false, "848"},
        {"12abc", true, "13"},
        {"abc", true, "1"},
        {" 7", true, "8"},
        {"\t\n\v\f\r7", true, "8"},
        {"900", true, "0"},
        {"900", false, "848"},
        {"-5", true, "0"},
        {"-5", false, "848"},
        {"+5", true, "6"},
        {"- 5", true, "1"},  // a sign not followed by a digit reads as 0
        {"1.9", true, "2"},
        // Reading and stepping wrap around modulo 2^32 rather than saturate.
        {"4294967297", true, "2"},
        {"2147483647", true, "0"},
        {"2147483647", false, "848"},
        {"2147483648", true, "0"},
        {"2147483648", false, "848"},
        {"-2147483648", false, "848"},
    };
    for (const StepCase& c : cases) {
        Text after = steppedWidthText(Text(c.before), c.up);
        EXPECT_STREQ(after.c_str(), c.after) << "\"" << c.before << "\" " << (c.up ? "up" : "down");
    }
}

TEST(WidthStepping, DecimalTextWritesLikePercentD) {
    const struct {
        int32_t value;
        const char* text;
    } cases[] = {
        {0, "0"},     {7, "7"},
        {848, "848"}, {2147483647, "2147483647"},
        {-1, "-1"},   {INT32_MIN, "-2147483648"},
    };
    for (const auto& c : cases) EXPECT_STREQ(decimalText(c.value).c_str(), c.text) << c.value;
}

}  // namespace
