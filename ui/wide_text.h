// A malloc-owned, zero-terminated UTF-16 string for the wide Win32 calls.
#pragma once

#include <stddef.h>
#include <wchar.h>

#include "config/text.h"

class WideText {
public:
    WideText() = default;
    WideText(const WideText&) = delete;
    WideText& operator=(const WideText&) = delete;
    WideText(WideText&& other) noexcept : data_(other.data_) { other.data_ = nullptr; }
    WideText& operator=(WideText&& other) noexcept;
    ~WideText();

    // `first`, then `second` converted from the ANSI code page. Empty when
    // memory cannot be had or the conversion fails.
    static WideText join(const wchar_t* first, const Text& second);

    const wchar_t* c_str() const { return data_ ? data_ : L""; }
    bool empty() const { return !data_ || data_[0] == L'\0'; }

private:
    wchar_t* data_ = nullptr;
};
