// textBetween against a plain reading of its rules on std::string.
//
// Input: one flag byte (bit 0: ignoreCase), startPosition as 4 bytes little
// endian, then text, start marker and end marker separated by zero bytes.
#include <stddef.h>
#include <stdint.h>

#include <string>

#include "config/markers.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using Position = int64_t;  // 1-based; wide enough for startPosition - 1
const Position kNotFound = 0;

const std::string kPlaceholder = "#\xD2\xFD\xBA\xC5";  // "#引号" in code page 936

size_t unitAt(const std::string& s, size_t i) {
    return static_cast<unsigned char>(s[i]) >= 0x80 ? 2 : 1;
}

std::string withQuotes(const std::string& marker) {
    std::string out;
    size_t i = 0;
    while (marker.size() - i >= kPlaceholder.size()) {
        if (marker.compare(i, kPlaceholder.size(), kPlaceholder) == 0) {
            out += '"';
            i += kPlaceholder.size();
        } else {
            size_t unit = unitAt(marker, i);
            out += marker.substr(i, unit);
            i += unit;
        }
    }
    return out + marker.substr(i);
}

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool matchesAt(const std::string& text, size_t at, const std::string& needle, bool ignoreCase) {
    for (size_t k = 0; k < needle.size(); ++k) {
        char a = text[at + k];
        char b = needle[k];
        if (ignoreCase ? lower(a) != lower(b) : a != b) return false;
    }
    return true;
}

Position search(const std::string& text, const std::string& needle, Position from,
                bool ignoreCase) {
    Position s = from - 1 < 0 ? 0 : from - 1;
    Position size = static_cast<Position>(text.size());
    if (s >= size) return kNotFound;
    if (needle.empty()) return 1;
    for (Position at = s; size - at >= static_cast<Position>(needle.size());
         at += static_cast<Position>(unitAt(text, static_cast<size_t>(at)))) {
        if (matchesAt(text, static_cast<size_t>(at), needle, ignoreCase)) return at + 1;
    }
    return kNotFound;
}

std::string expectedBetween(const std::string& text, const std::string& startMarker,
                            const std::string& endMarker, int32_t startPosition, bool ignoreCase) {
    std::string start = withQuotes(startMarker);
    std::string end = withQuotes(endMarker);
    Position found = search(text, start, startPosition, ignoreCase);
    if (found == kNotFound) return "";
    Position p = found + static_cast<Position>(start.size());
    Position e = search(text, end, p, ignoreCase);
    if (e == kNotFound || e <= p) return "";
    return text.substr(static_cast<size_t>(p - 1), static_cast<size_t>(e - p));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t kHeader = 5;
    uint8_t header[kHeader] = {};
    for (size_t i = 0; i < kHeader && i < size; ++i) header[i] = data[i];
    bool ignoreCase = (header[0] & 1) != 0;
    uint32_t raw = static_cast<uint32_t>(header[1]) | static_cast<uint32_t>(header[2]) << 8 |
                   static_cast<uint32_t>(header[3]) << 16 | static_cast<uint32_t>(header[4]) << 24;
    int32_t startPosition = static_cast<int32_t>(raw);
    std::vector<std::string> f = size > kHeader ? fuzz::fields(data + kHeader, size - kHeader, 3)
                                                : std::vector<std::string>(3);

    Text text(f[0].c_str());
    Text startMarker(f[1].c_str());
    Text endMarker(f[2].c_str());
    std::string got =
        fuzz::str(textBetween(text, startMarker, endMarker, startPosition, ignoreCase));
    std::string want = expectedBetween(f[0], f[1], f[2], startPosition, ignoreCase);
    if (got != want) {
        fuzz::fail("textBetween follows its rules",
                   "text " + fuzz::quoted(f[0]) + ", startMarker " + fuzz::quoted(f[1]) +
                       ", endMarker " + fuzz::quoted(f[2]) + ", startPosition " +
                       std::to_string(startPosition) + ", ignoreCase " +
                       (ignoreCase ? "true" : "false") + "\n  got  " + fuzz::quoted(got) +
                       "\n  want " + fuzz::quoted(want));
    }
    // The inputs are left as they were.
    if (fuzz::str(text) != f[0] || fuzz::str(startMarker) != f[1] || fuzz::str(endMarker) != f[2]) {
        fuzz::fail("textBetween leaves its inputs alone", "text " + fuzz::quoted(f[0]));
    }
    return 0;
}
