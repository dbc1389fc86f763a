#pragma once
// One owner for every kind of resource that must be given back exactly once:
// handles, registry keys, blocks of memory. What counts as empty and how a
// value is given back are the traits' business:
//
//   struct Traits {
//       using Value = ...;
//       static Value Empty();             // what a default owner holds
//       static bool IsValid(Value value); // false for every empty form
//       static void Close(Value value);   // called once, for valid values only
//   };
//
// Move-only: a copy would give the resource back twice.

#include <utility>

namespace velkast {

template <typename Traits>
class UniqueResource {
public:
    using Value = typename Traits::Value;

    UniqueResource() = default;
    explicit UniqueResource(Value value) : value_(value) {}
    ~UniqueResource() { reset(); }

    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    [[nodiscard]] Value get() const { return value_; }
    explicit operator bool() const { return Traits::IsValid(value_); }

    // Gives up ownership without giving the resource back.
    [[nodiscard]] Value release() { return std::exchange(value_, Traits::Empty()); }

    // Gives back what is held (unless it is the new value) and holds the new one.
    void reset(Value value = Traits::Empty()) {
        const Value old = std::exchange(value_, value);
        if (Traits::IsValid(old) && old != value) {
            Traits::Close(old);
        }
    }

    // Gives back what is held and hands out the place where a system call
    // writes the new value (RegOpenKeyExW, FormatMessageW, ...).
    [[nodiscard]] Value* put() {
        reset();
        return &value_;
    }

private:
    Value value_ = Traits::Empty();
};

}  // namespace velkast
