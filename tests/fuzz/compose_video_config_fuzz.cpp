// composeVideoConfig with any width and height: the fixed document with the
// escaped values in their places, well-formed XML that gives the values back,
// and textBetween finds the escaped values again.
//
// Input: the width and the height, separated by a zero byte.
//
// Values that are not XML text (bytes that are not UTF-8, or control
// characters other than tab, LF and CR) cannot be in a well-formed document
// declared utf-8, and the values are written byte for byte. For those the
// document is checked with each offending byte replaced by "?": the escaping
// must still keep the markup intact. KORVALEN_FUZZ_STRICT_XML=1 in the
// environment asks for the raw document to be well-formed too.
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "config/document.h"
#include "config/markers.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

bool strictXml = false;

// The three fixed pieces, cut out of the document with both values empty.
std::string fixedBefore, fixedBetween, fixedAfter;

std::string escaped(const std::string& value) {
    std::string out;
    for (char c : value) {
        if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else {
            out += c;
        }
    }
    return out;
}

// The bytes of one XML Char encoded as UTF-8 at `i`, or 0 when there is none.
size_t xmlCharAt(const std::string& s, size_t i) {
    auto at = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char b = at(i);
    if (b < 0x80) return (b >= 0x20 || b == '\t' || b == '\n' || b == '\r') ? 1 : 0;
    size_t length;
    uint32_t cp;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
        cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        cp = b & 0x07;
    } else {
        return 0;
    }
    if (s.size() - i < length) return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((at(i + k) & 0xC0) != 0x80) return 0;
        cp = cp << 6 | (at(i + k) & 0x3F);
    }
    const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < smallest[length] || cp > 0x10FFFF) return 0;  // overlong or too large
    if (cp >= 0xD800 && cp <= 0xDFFF) return 0;            // surrogate
    if (cp == 0xFFFE || cp == 0xFFFF) return 0;            // not an XML Char
    return length;
}

// `value` with every byte that is not part of an XML Char replaced by "?".
std::string asXmlText(const std::string& value) {
    std::string out;
    for (size_t i = 0; i < value.size();) {
        size_t length = xmlCharAt(value, i);
        if (length == 0) {
            out += '?';
            ++i;
        } else {
            out += value.substr(i, length);
            i += length;
        }
    }
    return out;
}

// What an XML parser reports as character data: line ends become LF.
std::string withXmlLineEnds(const std::string& value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\r') {
            out += '\n';
            if (i + 1 < value.size() && value[i + 1] == '\n') ++i;
        } else {
            out += value[i];
        }
    }
    return out;
}

// The last run of bytes >= 0x80 in `s` is odd: the marker search then takes
// its last byte and the "<" of the marker behind it as one unit.
bool endsInOddHighRun(const std::string& s) {
    size_t run = 0;
    for (size_t i = s.size(); i > 0 && static_cast<unsigned char>(s[i - 1]) >= 0x80; --i) ++run;
    return run % 2 == 1;
}

xmlNode* childNamed(xmlNode* parent, const char* name) {
    for (xmlNode* n = parent ? parent->children : nullptr; n; n = n->next) {
        if (n->type == XML_ELEMENT_NODE &&
            strcmp(reinterpret_cast<const char*>(n->name), name) == 0)
            return n;
    }
    return nullptr;
}

std::string contentOf(xmlNode* node) {
    xmlChar* content = xmlNodeGetContent(node);
    std::string out = content ? reinterpret_cast<const char*>(content) : "";
    xmlFree(content);
    return out;
}

// Parses `document` (no network, no messages) and checks that it holds the
// two values as character data of config/forcevideosize/sizex and sizey.
void checkXml(const std::string& document, const std::string& width, const std::string& height,
              const std::string& what) {
    xmlDoc* doc = xmlReadMemory(document.data(), static_cast<int>(document.size()), "video.xml",
                                nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!doc) {
        const xmlError* error = xmlGetLastError();
        fuzz::fail("the document is well-formed XML",
                   what + "\n  libxml2: " + (error && error->message ? error->message : "?"));
    }
    xmlNode* root = xmlDocGetRootElement(doc);
    xmlNode* force = childNamed(root, "forcevideosize");
    std::string gotWidth = contentOf(childNamed(force, "sizex"));
    std::string gotHeight = contentOf(childNamed(force, "sizey"));
    xmlFreeDoc(doc);
    if (gotWidth != withXmlLineEnds(width) || gotHeight != withXmlLineEnds(height)) {
        fuzz::fail("an XML reader gets the values back",
                   what + "\n  read " + fuzz::quoted(gotWidth) + ", " + fuzz::quoted(gotHeight));
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    xmlInitParser();
    const char* strict = getenv("KORVALEN_FUZZ_STRICT_XML");
    strictXml = strict && strcmp(strict, "1") == 0;
    std::string fixed = fuzz::str(composeVideoConfig(Text(), Text()));
    if (fixed.size() != 224) fuzz::fail("the fixed pieces are 224 bytes", fuzz::quoted(fixed));
    fixedBefore = fixed.substr(0, 157);
    fixedBetween = fixed.substr(157, 25);
    fixedAfter = fixed.substr(182);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> f = fuzz::fields(data, size, 2);
    const std::string& width = f[0];
    const std::string& height = f[1];
    std::string document = fuzz::str(composeVideoConfig(Text(width.c_str()), Text(height.c_str())));
    std::string what = "width " + fuzz::quoted(width) + ", height " + fuzz::quoted(height);

    std::string escapedWidth = escaped(width);
    std::string escapedHeight = escaped(height);
    if (document != fixedBefore + escapedWidth + fixedBetween + escapedHeight + fixedAfter) {
        fuzz::fail("the fixed pieces with the escaped values between them",
                   what + "\n  got " + fuzz::quoted(document));
    }

    // Escaped values hold no "<", so no marker: each comes back whole, except
    // where the two-byte stepping hides the end marker behind it.
    std::string gotWidth =
        fuzz::str(textBetween(Text(document.c_str()), "<sizex>", "</sizex>", 0, false));
    std::string gotHeight =
        fuzz::str(textBetween(Text(document.c_str()), "<sizey>", "</sizey>", 0, false));
    std::string wantWidth = endsInOddHighRun(escapedWidth) ? "" : escapedWidth;
    std::string wantHeight = endsInOddHighRun(escapedHeight) ? "" : escapedHeight;
    if (gotWidth != wantWidth || gotHeight != wantHeight) {
        fuzz::fail("textBetween reads the escaped values back",
                   what + "\n  read " + fuzz::quoted(gotWidth) + ", " + fuzz::quoted(gotHeight));
    }

    std::string xmlWidth = asXmlText(width);
    std::string xmlHeight = asXmlText(height);
    if (strictXml || (xmlWidth == width && xmlHeight == height)) {
        checkXml(document, width, height, what);
    } else {
        // The document as written with only the value bytes that XML cannot
        // hold replaced: anything still wrong would be the markup.
        size_t heightAt = fixedBefore.size() + escapedWidth.size() + fixedBetween.size();
        std::string repaired =
            fixedBefore + asXmlText(document.substr(fixedBefore.size(), escapedWidth.size())) +
            fixedBetween + asXmlText(document.substr(heightAt, escapedHeight.size())) + fixedAfter;
        checkXml(repaired, xmlWidth, xmlHeight, what + " (non-XML bytes as \"?\")");
    }
    return 0;
}
