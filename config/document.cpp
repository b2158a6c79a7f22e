// The document Korvalen writes and the file's place below a folder.
#include "config/document.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

extern const char kVideoConfigRelativePath[] =
    "duowan\\yy\\business\\yymusicconfig\\4_5\\101\\65\\bigvideoconfig.xml";
static_assert(sizeof(kVideoConfigRelativePath) - 1 == 62, "the relative path is 62 bytes");

namespace {

// Lines 1 to 7 up to and including "<sizex>".
const char kPieceBeforeWidth[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n"
    "<config>\r\n"
    "    <enable>0</enable>\r\n"
    "    <chnlist />\r\n"
    "    <forcevideosize>\r\n"
    "        <enable>1</enable>\r\n"
    "        <sizex>";
// "</sizex>" to "<sizey>".
const char kPieceBetween[] =
    "</sizex>\r\n"
    "        <sizey>";
// "</sizey>" to the end; no line end after "</config>".
const char kPieceAfterHeight[] =
    "</sizey>\r\n"
    "    </forcevideosize>\r\n"
    "</config>";

const size_t kBeforeWidthSize = sizeof(kPieceBeforeWidth) - 1;
const size_t kBetweenSize = sizeof(kPieceBetween) - 1;
const size_t kAfterHeightSize = sizeof(kPieceAfterHeight) - 1;
static_assert(kBeforeWidthSize == 157, "first piece is 157 bytes");
static_assert(kBetweenSize == 25, "second piece is 25 bytes");
static_assert(kAfterHeightSize == 42, "third piece is 42 bytes");

// The entity written for a byte, or null when the byte is written as it is.
const char* entityFor(char c) {
    switch (c) {
        case '&':
            return "&amp;";
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        default:
            return nullptr;
    }
}

// Adds b to a; false when the sum does not fit.
bool addSize(size_t& a, size_t b) {
    if (b > SIZE_MAX - a) return false;
    a += b;
    return true;
}

// The bytes that `value` takes once escaped; false when that does not fit.
bool escapedSize(const Text& value, size_t& size) {
    size = 0;
    const char* bytes = value.c_str();
    for (size_t i = 0; i < value.size(); ++i) {
        const char* entity = entityFor(bytes[i]);
        if (!addSize(size, entity ? strlen(entity) : 1)) return false;
    }
    return true;
}

char* appendBytes(char* out, const char* bytes, size_t count) {
    memcpy(out, bytes, count);
    return out + count;
}

char* appendEscaped(char* out, const Text& value) {
    const char* bytes = value.c_str();
    for (size_t i = 0; i < value.size(); ++i) {
        const char* entity = entityFor(bytes[i]);
        if (entity) {
            out = appendBytes(out, entity, strlen(entity));
        } else {
            *out++ = bytes[i];
        }
    }
    return out;
}

}  // namespace

Text joinVideoConfigPath(const Text& folder) {
    const size_t relativeSize = sizeof(kVideoConfigRelativePath) - 1;
    size_t folderSize = folder.size();
    bool addBackslash = folderSize > 0 && folder.byte(folderSize - 1) != 0x5C;
    size_t total = folderSize;
    if (!addSize(total, addBackslash ? 1 : 0) || !addSize(total, relativeSize) ||
        !addSize(total, 1)) {
        return Text();
    }
    char* buffer = static_cast<char*>(malloc(total));
    if (!buffer) return Text();
    char* out = appendBytes(buffer, folder.c_str(), folderSize);
    if (addBackslash) *out++ = '\\';
    out = appendBytes(out, kVideoConfigRelativePath, relativeSize);
    *out = '\0';
    return Text::adopt(buffer, total - 1);
}

Text composeVideoConfig(const Text& width, const Text& height) {
    // Measure the five pieces, then build the document in one allocation.
    size_t widthSize = 0;
    size_t heightSize = 0;
    size_t total = kBeforeWidthSize + kBetweenSize + kAfterHeightSize + 1;
    if (!escapedSize(width, widthSize) || !escapedSize(height, heightSize) ||
        !addSize(total, widthSize) || !addSize(total, heightSize)) {
        return Text();
    }
    char* buffer = static_cast<char*>(malloc(total));
    if (!buffer) return Text();
    char* out = appendBytes(buffer, kPieceBeforeWidth, kBeforeWidthSize);
    out = appendEscaped(out, width);
    out = appendBytes(out, kPieceBetween, kBetweenSize);
    out = appendEscaped(out, height);
    out = appendBytes(out, kPieceAfterHeight, kAfterHeightSize);
    *out = '\0';
    return Text::adopt(buffer, total - 1);
}

Text unescapeVideoConfigValue(const Text& value) {
    struct Entity {
        const char* text;
        size_t size;
        char byte;
    };
    static const Entity kEntities[] = {{"&amp;", 5, '&'}, {"&lt;", 4, '<'}, {"&gt;", 4, '>'}};

    // The result is never longer than the value. "&", "<" and ">" are below
    // 0x40, so they never stand as the second byte of a double-byte character.
    size_t size = value.size();
    char* out = static_cast<char*>(malloc(size + 1));
    if (!out) return Text();
    const char* in = value.c_str();
    size_t o = 0;
    for (size_t i = 0; i < size;) {
        const Entity* match = nullptr;
        if (in[i] == '&') {
            for (const Entity& e : kEntities) {
                if (size - i >= e.size && memcmp(in + i, e.text, e.size) == 0) match = &e;
            }
        }
        if (match) {
            out[o++] = match->byte;
            i += match->size;
        } else {
            out[o++] = in[i++];
        }
    }
    out[o] = '\0';
    return Text::adopt(out, o);
}
