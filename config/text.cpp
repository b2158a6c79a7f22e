// Text and ByteBuffer on malloc and free: no exceptions, no std::string.
#include "config/text.h"

#include <stdlib.h>
#include <string.h>

namespace {

// A malloc'd copy of `count` bytes plus a terminating zero, or null.
char* copyBytes(const char* bytes, size_t count) {
    if (count == 0 || count == static_cast<size_t>(-1)) return nullptr;
    char* copy = static_cast<char*>(malloc(count + 1));
    if (!copy) return nullptr;
    memcpy(copy, bytes, count);
    copy[count] = '\0';
    return copy;
}

// The number of bytes before the first zero byte among the first `count`.
size_t lengthUpToZero(const char* bytes, size_t count) {
    if (!bytes || count == 0) return 0;
    const void* zero = memchr(bytes, 0, count);
    return zero ? static_cast<size_t>(static_cast<const char*>(zero) - bytes) : count;
}

}  // namespace

// ---------------------------------------------------------------- Text

Text::Text(const char* s) : Text(s, s ? strlen(s) : 0) {}

Text::Text(const char* bytes, size_t count) {
    size_t length = lengthUpToZero(bytes, count);
    data_ = copyBytes(bytes, length);
    size_ = data_ ? length : 0;
}

Text::Text(const Text& other) : Text(other.data_, other.size_) {}

Text::Text(Text&& other) noexcept : data_(other.data_), size_(other.size_) {
    other.data_ = nullptr;
    other.size_ = 0;
}

Text& Text::operator=(const Text& other) {
    if (this != &other) {
        char* copy = copyBytes(other.data_, other.size_);
        free(data_);
        data_ = copy;
        size_ = copy ? other.size_ : 0;
    }
    return *this;
}

Text& Text::operator=(Text&& other) noexcept {
    if (this != &other) {
        free(data_);
        data_ = other.data_;
        size_ = other.size_;
        other.data_ = nullptr;
        other.size_ = 0;
    }
    return *this;
}

Text::~Text() { free(data_); }

Text Text::adopt(char* buffer, size_t count) {
    Text result;
    size_t length = lengthUpToZero(buffer, count);
    if (length == 0) {
        free(buffer);
        return result;
    }
    buffer[length] = '\0';  // within the buffer: count bytes plus the zero
    result.data_ = buffer;
    result.size_ = length;
    return result;
}

bool Text::operator==(const Text& other) const {
    return size_ == other.size_ && (size_ == 0 || memcmp(data_, other.data_, size_) == 0);
}

// ---------------------------------------------------------------- ByteBuffer

ByteBuffer::ByteBuffer(const Text& text) {
    if (text.size() > 0 && text.size() <= static_cast<size_t>(INT32_MAX) &&
        allocate(static_cast<int32_t>(text.size()))) {
        memcpy(data_, text.c_str(), text.size());
    }
}

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept : data_(other.data_), count_(other.count_) {
    other.data_ = nullptr;
    other.count_ = 0;
}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept {
    if (this != &other) {
        free(data_);
        data_ = other.data_;
        count_ = other.count_;
        other.data_ = nullptr;
        other.count_ = 0;
    }
    return *this;
}

ByteBuffer::~ByteBuffer() { free(data_); }

bool ByteBuffer::allocate(int32_t count) {
    free(data_);
    data_ = nullptr;
    count_ = 0;
    if (count < 0) return false;
    if (count == 0) return true;
    data_ = static_cast<char*>(malloc(static_cast<size_t>(count)));
    if (!data_) return false;
    count_ = count;
    return true;
}

void ByteBuffer::shrink(int32_t count) {
    if (count < 0) count = 0;
    if (count >= count_) return;
    count_ = count;
    if (count_ == 0) {
        free(data_);
        data_ = nullptr;
    }
}

Text ByteBuffer::toText() const {
    return count_ > 0 ? Text(data_, static_cast<size_t>(count_)) : Text();
}
