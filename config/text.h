// Text and ByteBuffer: the two byte-string types every routine trades in.
#pragma once

#include <stddef.h>
#include <stdint.h>

class ByteBuffer;

// A byte string in the system's ANSI code page, ended by its first zero
// byte. Absent and empty are the same value. Copying never throws: when
// memory cannot be had the copy is empty, as the routines' rules ask.
class Text {
public:
    Text() = default;
    Text(const char* s); // NOLINT: literals and C strings convert freely
    Text(const char* bytes, size_t count); // stops early at a zero byte
    Text(const Text& other);
    Text(Text&& other) noexcept;
    Text& operator=(const Text& other);
    Text& operator=(Text&& other) noexcept;
    ~Text();

    // Takes ownership of a malloc'd, zero-terminated buffer of `count` bytes.
    static Text adopt(char* buffer, size_t count);

    const char* c_str() const { return data_ ? data_ : ""; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    unsigned char byte(size_t index) const { return static_cast<unsigned char>(data_[index]); }

    bool operator==(const Text& other) const;
    bool operator!=(const Text& other) const { return !(*this == other); }

private:
    char* data_ = nullptr;
    size_t size_ = 0;
};

// A counted run of bytes that may hold zero bytes: file contents as read
// and written. The count is a signed 32-bit number.
class ByteBuffer {
public:
    ByteBuffer() = default;
    explicit ByteBuffer(const Text& text); // the bytes without the terminating zero
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;
    ByteBuffer(ByteBuffer&& other) noexcept;
    ByteBuffer& operator=(ByteBuffer&& other) noexcept;
    ~ByteBuffer();

    // Room for `count` bytes; false (and empty) when memory cannot be had.
    bool allocate(int32_t count);
    void shrink(int32_t count); // keeps the first `count` bytes

    char* data() { return data_; }
    const char* data() const { return data_; }
    int32_t count() const { return count_; }

    Text toText() const; // the bytes before the first zero byte

private:
    char* data_ = nullptr;
    int32_t count_ = 0;
};
