#pragma once
// Owner of an open registry key.

#include <windows.h>

#include <utility>

namespace velkast {

class UniqueRegKey {
public:
    UniqueRegKey() = default;
    explicit UniqueRegKey(HKEY key) : key_(key) {}
    ~UniqueRegKey() { reset(); }
    UniqueRegKey(UniqueRegKey&& other) noexcept : key_(other.release()) {}
    UniqueRegKey& operator=(UniqueRegKey&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueRegKey(const UniqueRegKey&) = delete;
    UniqueRegKey& operator=(const UniqueRegKey&) = delete;

    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }
    HKEY release() { return std::exchange(key_, nullptr); }
    void reset(HKEY key = nullptr) {
        if (HKEY old = std::exchange(key_, key); old != nullptr && old != key) {
            RegCloseKey(old);
        }
    }
    // Closes the key held so far and gives the place RegOpenKeyExW writes the new one to.
    HKEY* put() {
        reset();
        return &key_;
    }

private:
    HKEY key_ = nullptr;
};

}  // namespace velkast
