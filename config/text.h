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
    Text(const char* s);                    // NOLINT: literals and C strings convert freely
    Text(const char* bytes, size_t count);  // stops early at a zero byte
    Text(const Text& other);
    Text(Text&& other) noexcept;
    Text& operator=(const Text& other);
    Text& operator=(Text&& other) noexcept;
    ~Text();

    // Takes ownership of a malloc'd buffer of `count` bytes followed by a
    // terminating zero (count + 1 bytes in all). The text ends at the first
    // zero byte; an empty one frees the buffer at once. A null buffer gives
    // the empty text.
    static Text adopt(char* buffer, size_t count);

    const char* c_str() const { return data_ ? data_ : ""; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // The byte at 0-based `index`; requires index < size().
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
    explicit ByteBuffer(const Text& text);  // the bytes without the terminating zero
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;
    ByteBuffer(ByteBuffer&& other) noexcept;
    ByteBuffer& operator=(ByteBuffer&& other) noexcept;
    ~ByteBuffer();

    // Replaces the contents with room for `count` bytes (not cleared).
    // 0 gives the empty buffer and true; a negative count, or memory that
    // cannot be had, gives the empty buffer and false.
    bool allocate(int32_t count);
    // Keeps the first `count` bytes (a negative count keeps none); a count
    // at or above the present one changes nothing.
    void shrink(int32_t count);

    char* data() { return data_; }
    const char* data() const { return data_; }
    int32_t count() const { return count_; }

    Text toText() const;  // the bytes before the first zero byte

private:
    char* data_ = nullptr;
    int32_t count_ = 0;
};
