// heightForWidth: always a plain decimal integer within range, and the one
// that a plain reading of the width rule gives.
//
// Input: the width text (it ends at the first zero byte, as a Text does).
#include <stddef.h>
#include <stdint.h>

#include <string>

#include "config/height.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// Full-width forms of code page 936 become ASCII; other pairs stay; a lone
// high byte at the end is dropped.
std::string normalised(const std::string& in) {
    std::string out;
    size_t i = 0;
    while (i < in.size()) {
        unsigned char first = static_cast<unsigned char>(in[i]);
        if (first < 0x80) {
            out += in[i++];
            continue;
        }
        if (i + 1 == in.size()) break;
        unsigned char second = static_cast<unsigned char>(in[i + 1]);
        i += 2;
        if (first == 0xA3 && second >= 0xA1 && second <= 0xFE) {
            out += static_cast<char>(second - 0x80);
        } else if (first == 0xA1 && second == 0xA1) {
            out += ' ';
        } else if (first == 0xA1 && second == 0xAB) {
            out += '~';
        } else if (first == 0xA1 && (second == 0xEE || second == 0xEF)) {
            out += '*';
        } else {
            out += static_cast<char>(first);
            out += static_cast<char>(second);
        }
    }
    return out;
}

int32_t widthOf(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
    bool minus = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) minus = s[i++] == '-';
    uint32_t value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) value = value * 10 + (s[i] - '0');
    if (minus) value = ~value + 1;
    return static_cast<int32_t>(value);
}

// sign(w) * floor((3|w| + 2) / 4), in 64 bits so that |w| = 2^31 fits.
int64_t heightOf(int32_t w) {
    int64_t magnitude = w < 0 ? -static_cast<int64_t>(w) : w;
    int64_t height = (3 * magnitude + 2) / 4;
    return w < 0 ? -height : height;
}

// "-"? then digits, no leading zero except "0" itself; false otherwise.
bool plainInteger(const std::string& s, int64_t& value) {
    size_t i = s.size() > 0 && s[0] == '-' ? 1 : 0;
    size_t digits = s.size() - i;
    if (digits == 0 || digits > 10) return false;
    if (s[i] == '0' && (digits > 1 || i == 1)) return false;  // leading zero, or "-0"
    value = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        value = value * 10 + (s[i] - '0');
    }
    if (s[0] == '-') value = -value;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string widthText = fuzz::fields(data, size, 1)[0];
    std::string got = fuzz::str(heightForWidth(Text(widthText.c_str())));
    std::string input = "width text " + fuzz::quoted(widthText) + ", got " + fuzz::quoted(got);

    int64_t height = 0;
    if (!plainInteger(got, height)) fuzz::fail("the height is a plain decimal integer", input);
    if (height < -1610612736 || height > 1610612736) {
        fuzz::fail("|height| <= 1610612736", input);
    }
    int32_t w = widthOf(normalised(widthText));
    if (height != heightOf(w)) {
        fuzz::fail("height = sign(w) * floor((3|w| + 2) / 4)",
                   input + ", w " + std::to_string(w) + ", want " + std::to_string(heightOf(w)));
    }
    return 0;
}
