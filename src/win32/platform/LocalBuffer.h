#pragma once
// Owner of a text that the system allocated for us (FormatMessageW with
// FORMAT_MESSAGE_ALLOCATE_BUFFER); it goes back with LocalFree.

#include <windows.h>

#include <utility>

namespace velkast {

class LocalBuffer {
public:
    LocalBuffer() = default;
    ~LocalBuffer() { reset(); }
    LocalBuffer(LocalBuffer&& other) noexcept : buffer_(std::exchange(other.buffer_, nullptr)) {}
    LocalBuffer& operator=(LocalBuffer&& other) noexcept {
        if (this != &other) {
            reset();
            buffer_ = std::exchange(other.buffer_, nullptr);
        }
        return *this;
    }
    LocalBuffer(const LocalBuffer&) = delete;
    LocalBuffer& operator=(const LocalBuffer&) = delete;

    const wchar_t* get() const { return buffer_; }
    explicit operator bool() const { return buffer_ != nullptr; }
    void reset() {
        if (wchar_t* old = std::exchange(buffer_, nullptr)) {
            LocalFree(old);
        }
    }
    // Frees what is held and gives the place the system writes its buffer's
    // address to; the call wants it cast to LPWSTR.
    wchar_t** put() {
        reset();
        return &buffer_;
    }

private:
    wchar_t* buffer_ = nullptr;
};

}  // namespace velkast
