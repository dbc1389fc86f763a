#pragma once
// Owner of one block of the private heap.

#include <cstddef>
#include <utility>

#include "core/platform/Platform.h"

namespace velkast {

class HeapBlock {
public:
    HeapBlock() = default;
    // Takes a zero-filled block of the given size; empty when the heap gives
    // none (a size of 0 included).
    explicit HeapBlock(std::size_t bytes) : block_(platform::HeapAllocZeroed(bytes)) {}
    ~HeapBlock() { platform::HeapRelease(block_); }

    HeapBlock(HeapBlock&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
    HeapBlock& operator=(HeapBlock&& other) noexcept {
        if (this != &other) {
            reset();
            block_ = std::exchange(other.block_, nullptr);
        }
        return *this;
    }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;

    explicit operator bool() const { return block_ != nullptr; }
    void* get() const { return block_; }
    template <typename T>
    T* as() const {
        return static_cast<T*>(block_);
    }

    void reset() { platform::HeapRelease(std::exchange(block_, nullptr)); }

private:
    void* block_ = nullptr;
};

}  // namespace velkast
