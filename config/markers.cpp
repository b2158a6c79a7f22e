// textBetween: the marker preparation and the unit-stepping search.
#include "config/markers.h"

#include <stdlib.h>
#include <string.h>

namespace {

using Byte = unsigned char;

const size_t kNotFound = static_cast<size_t>(-1);

// "#引号" in code page 936: inside a marker it stands for one double quote.
const Byte kPlaceholder[] = {0x23, 0xD2, 0xFD, 0xBA, 0xC5};
const size_t kPlaceholderSize = sizeof(kPlaceholder);

// A byte of 0x80 or above starts a two-byte unit, whatever follows it.
inline size_t unitSize(Byte b) { return b >= 0x80 ? 2 : 1; }

inline Byte foldAscii(Byte b) { return (b >= 'A' && b <= 'Z') ? static_cast<Byte>(b + 0x20) : b; }

bool bytesEqual(const Byte* a, const Byte* b, size_t count, bool ignoreCase) {
    if (!ignoreCase) return memcmp(a, b, count) == 0;
    for (size_t i = 0; i < count; ++i) {
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    }
    return true;
}

// A marker after preparation: either the caller's bytes as they are or, when
// a placeholder was replaced, a buffer of its own.
struct PreparedMarker {
    const Byte* bytes = nullptr;
    size_t size = 0;
    Byte* owned = nullptr;
    PreparedMarker() = default;
    PreparedMarker(const PreparedMarker&) = delete;
    PreparedMarker& operator=(const PreparedMarker&) = delete;
    ~PreparedMarker() { free(owned); }
};

// Marker preparation. Writes the prepared marker to `out` (which may be null
// to measure only) and returns its size.
size_t replacePlaceholders(const Byte* in, size_t size, Byte* out) {
    size_t i = 0;
    size_t o = 0;
    while (size - i >= kPlaceholderSize) {
        if (memcmp(in + i, kPlaceholder, kPlaceholderSize) == 0) {
            if (out) out[o] = 0x22;
            ++o;
            i += kPlaceholderSize;
        } else {
            size_t unit = unitSize(in[i]);  // two bytes remain at least here
            if (out) memcpy(out + o, in + i, unit);
            o += unit;
            i += unit;
        }
    }
    if (out) memcpy(out + o, in + i, size - i);
    return o + (size - i);
}

// False when memory for a changed marker cannot be had.
bool prepareMarker(const Text& marker, PreparedMarker& prepared) {
    const Byte* in = reinterpret_cast<const Byte*>(marker.c_str());
    size_t size = marker.size();
    size_t preparedSize = replacePlaceholders(in, size, nullptr);
    if (preparedSize == size) {  // no placeholder was replaced
        prepared.bytes = in;
        prepared.size = size;
        return true;
    }
    prepared.owned = static_cast<Byte*>(malloc(preparedSize));
    if (!prepared.owned) return false;
    replacePlaceholders(in, size, prepared.owned);
    prepared.bytes = prepared.owned;
    prepared.size = preparedSize;
    return true;
}

// Marker search from the 0-based offset `start`; the 0-based offset of the
// match, or kNotFound.
size_t findMarker(const Byte* text, size_t textSize, const PreparedMarker& needle, size_t start,
                  bool ignoreCase) {
    if (start >= textSize) return kNotFound;  // also for an empty needle
    if (needle.size == 0) return 0;           // position 1, not the start
    size_t offset = start;
    // A lone high byte at the end steps the offset past textSize: test first.
    while (offset <= textSize && textSize - offset >= needle.size) {
        if (bytesEqual(text + offset, needle.bytes, needle.size, ignoreCase)) return offset;
        offset += unitSize(text[offset]);
    }
    return kNotFound;
}

}  // namespace

Text textBetween(const Text& text, const Text& startMarker, const Text& endMarker,
                 int32_t startPosition, bool ignoreCase) {
    PreparedMarker start;
    PreparedMarker end;
    if (!prepareMarker(startMarker, start) || !prepareMarker(endMarker, end)) return Text();

    const Byte* bytes = reinterpret_cast<const Byte*>(text.c_str());
    size_t size = text.size();

    // 0 and below count as 1; s = f - 1 as a 0-based offset.
    size_t from = startPosition > 1 ? static_cast<size_t>(startPosition) - 1 : 0;
    size_t startOffset = findMarker(bytes, size, start, from, ignoreCase);
    if (startOffset == kNotFound) return Text();

    size_t valueOffset = startOffset + start.size;  // p - 1
    size_t endOffset = findMarker(bytes, size, end, valueOffset, ignoreCase);
    // An empty end marker is "found" at position 1, before p: the empty text.
    if (endOffset == kNotFound || endOffset <= valueOffset) return Text();

    return Text(text.c_str() + valueOffset, endOffset - valueOffset);
}
