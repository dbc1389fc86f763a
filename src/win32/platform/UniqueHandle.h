#pragma once
// Owner of a kernel handle. Only null counts as empty: functions that report
// failure with INVALID_HANDLE_VALUE must turn it into null before handing over.

#include <windows.h>

#include <utility>

namespace velkast {

class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    HANDLE release() { return std::exchange(handle_, nullptr); }
    void reset(HANDLE handle = nullptr) {
        if (HANDLE old = std::exchange(handle_, handle); old != nullptr && old != handle) {
            CloseHandle(old);
        }
    }

private:
    HANDLE handle_ = nullptr;
};

}  // namespace velkast
