// What the fuzz targets share: failing loudly, and cutting an input in fields.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "config/text.h"

namespace fuzz {

// Bytes as C string literal text, so a report can be pasted into a test.
inline std::string quoted(const std::string& bytes) {
    std::string out = "\"";
    bool afterHex = false;
    for (unsigned char c : bytes) {
        bool hexDigit = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (afterHex && hexDigit) out += "\"\"";  // keep the digit out of the escape
        afterHex = false;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            snprintf(hex, sizeof(hex), "\\x%02X", c);
            out += hex;
            afterHex = true;
        }
    }
    return out + "\"";
}

inline std::string str(const Text& text) { return std::string(text.c_str(), text.size()); }

// A broken property: say which and abort, which libFuzzer keeps as a crash.
[[noreturn]] inline void fail(const char* property, const std::string& detail) {
    fprintf(stderr, "\nproperty broken: %s\n%s\n", property, detail.c_str());
    abort();
}

// The fields of an input, separated by zero bytes. A Text ends at its first
// zero byte, so no field could carry one anyway. Missing fields are empty.
inline std::vector<std::string> fields(const uint8_t* data, size_t size, size_t count) {
    std::vector<std::string> out(count);
    size_t field = 0;
    for (size_t i = 0; i < size && field < count; ++i) {
        if (data[i] == 0) {
            ++field;
        } else {
            out[field] += static_cast<char>(data[i]);
        }
    }
    return out;
}

}  // namespace fuzz
