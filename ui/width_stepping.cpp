#include "ui/width_stepping.h"

int32_t leadingInteger(const Text& text) {
    size_t at = 0;
    size_t size = text.size();
    while (at < size &&
           (text.byte(at) == ' ' || (text.byte(at) >= 0x09 && text.byte(at) <= 0x0D))) {
        ++at;
    }
    bool negative = false;
    if (at < size && (text.byte(at) == '-' || text.byte(at) == '+')) {
        negative = text.byte(at) == '-';
        ++at;
    }
    // Unsigned arithmetic wraps modulo 2^32 by definition.
    uint32_t value = 0;
    while (at < size && text.byte(at) >= '0' && text.byte(at) <= '9') {
        value = value * 10u + static_cast<uint32_t>(text.byte(at) - '0');
        ++at;
    }
    if (negative) value = 0u - value;
    return static_cast<int32_t>(value);
}

int32_t steppedWidth(int32_t n, bool up) {
    uint32_t moved = static_cast<uint32_t>(n) + (up ? 1u : static_cast<uint32_t>(-1));
    int32_t r = static_cast<int32_t>(moved);
    if (r < kWidthStepLowest || r > kWidthStepHighest) {
        return up ? kWidthStepLowest : kWidthStepHighest;
    }
    return r;
}

Text decimalText(int32_t value) {
    // Sign and up to ten digits.
    char digits[12];
    char* end = digits + sizeof(digits);
    char* at = end;
    uint32_t magnitude =
        value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        *--at = static_cast<char>('0' + magnitude % 10u);
        magnitude /= 10u;
    } while (magnitude != 0);
    if (value < 0) *--at = '-';
    return Text(at, static_cast<size_t>(end - at));
}

Text steppedWidthText(const Text& current, bool up) {
    return decimalText(steppedWidth(leadingInteger(current), up));
}
