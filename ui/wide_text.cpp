#include "ui/wide_text.h"

#include <windows.h>

#include <stdlib.h>

WideText& WideText::operator=(WideText&& other) noexcept {
    if (this != &other) {
        free(data_);
        data_ = other.data_;
        other.data_ = nullptr;
    }
    return *this;
}

WideText::~WideText() { free(data_); }

WideText WideText::join(const wchar_t* first, const Text& second) {
    size_t firstLength = wcslen(first);
    int secondLength = 0;
    if (!second.empty()) {
        secondLength = MultiByteToWideChar(CP_ACP, 0, second.c_str(),
                                           static_cast<int>(second.size()), nullptr, 0);
        if (secondLength <= 0) return WideText();
    }
    size_t total = firstLength + static_cast<size_t>(secondLength);
    WideText joined;
    joined.data_ = static_cast<wchar_t*>(malloc((total + 1) * sizeof(wchar_t)));
    if (!joined.data_) return WideText();
    wmemcpy(joined.data_, first, firstLength);
    if (secondLength > 0) {
        MultiByteToWideChar(CP_ACP, 0, second.c_str(), static_cast<int>(second.size()),
                            joined.data_ + firstLength, secondLength);
    }
    joined.data_[total] = L'\0';
    return joined;
}
