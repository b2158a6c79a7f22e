// heightForWidth. Scaling by 3/4 in double precision, rounding half away
// from zero and formatting with "%.13g" are computed by their closed form
// sign(w) * floor((3|w| + 2) / 4), which gives the same text for every
// 32-bit w (tools/verify checks all of them).
#include "config/height.h"

#include <stdint.h>

namespace {

using Byte = unsigned char;

// Step 1 as a stream: yields the normalised bytes one by one, -1 at the end.
class NormalisedWidth {
public:
    explicit NormalisedWidth(const Text& text)
        : bytes_(reinterpret_cast<const Byte*>(text.c_str())), size_(text.size()) {}

    int next() {
        if (pending_ >= 0) {  // second byte of a pair copied unchanged
            int b = pending_;
            pending_ = -1;
            return b;
        }
        if (index_ >= size_) return -1;
        Byte first = bytes_[index_];
        if (first < 0x80) {
            ++index_;
            return first;
        }
        if (size_ - index_ < 2) {  // a lone high byte at the end is dropped
            index_ = size_;
            return -1;
        }
        Byte second = bytes_[index_ + 1];
        index_ += 2;
        if (first == 0xA3 && second >= 0xA1 && second <= 0xFE) return second - 0x80;
        if (first == 0xA1) {
            if (second == 0xA1) return 0x20;
            if (second == 0xAB) return 0x7E;
            if (second == 0xEE || second == 0xEF) return 0x2A;
        }
        pending_ = second;
        return first;
    }

private:
    const Byte* bytes_;
    size_t size_;
    size_t index_ = 0;
    int pending_ = -1;
};

inline bool isBlank(int b) { return b == 0x20 || (b >= 0x09 && b <= 0x0D); }
inline bool isDigit(int b) { return b >= '0' && b <= '9'; }

}  // namespace

Text heightForWidth(const Text& widthText) {
    // Step 2: white space, one sign, digits modulo 2^32.
    NormalisedWidth in(widthText);
    int b = in.next();
    while (isBlank(b)) b = in.next();
    bool minus = false;
    if (b == '-' || b == '+') {
        minus = b == '-';
        b = in.next();
    }
    uint32_t value = 0;
    while (isDigit(b)) {
        value = value * 10u + static_cast<uint32_t>(b - '0');
        b = in.next();
    }
    if (minus) value = 0u - value;

    // w as two's complement: the sign bit, and |w| without overflow.
    bool negative = (value & 0x80000000u) != 0;
    uint64_t magnitude = negative ? (uint64_t{1} << 32) - value : value;

    // Steps 3 to 5: three quarters, halves away from zero, plain decimal.
    uint64_t height = (3 * magnitude + 2) / 4;  // at most 1610612736

    char digits[12];
    size_t end = sizeof(digits);
    do {
        digits[--end] = static_cast<char>('0' + height % 10);
        height /= 10;
    } while (height != 0);
    if (negative) digits[--end] = '-';  // |w| >= 1 gives a height >= 1
    return Text(digits + end, sizeof(digits) - end);
}
