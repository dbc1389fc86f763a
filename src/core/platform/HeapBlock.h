#pragma once
// Owner of one block of the private heap.

#include <cstddef>

#include "core/base/UniqueResource.h"
#include "core/platform/Platform.h"

namespace velkast {

struct HeapBlockTraits {
    using Value = void*;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value block) { return block != nullptr; }
    static void Close(Value block) { platform::HeapRelease(block); }
};

class HeapBlock : public UniqueResource<HeapBlockTraits> {
public:
    HeapBlock() = default;
    // Takes a zero-filled block of the given size; empty when the heap gives
    // none (a size of 0 included).
    explicit HeapBlock(std::size_t bytes) : UniqueResource(platform::HeapAllocZeroed(bytes)) {}

    template <typename T>
    T* as() const {
        return static_cast<T*>(get());
    }
};

}  // namespace velkast
