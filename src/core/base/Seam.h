#pragma once
// A seam: a process-wide slot through which the program reaches something
// that tests need to replace (the copy service, the message box, the shell,
// the start of a thread). The program calls what the slot holds; a test puts
// its own in place for the life of a ScopedOverride. The value is a pointer
// (to a function or to a handler object) and is read atomically, so that a
// worker thread may use the seam while the main thread holds the override;
// an override must outlive every use that other threads make of it.

#include <atomic>

namespace velkast {

template <typename Pointer>
class Seam {
public:
    constexpr explicit Seam(Pointer real) : current_(real) {}
    Seam(const Seam&) = delete;
    Seam& operator=(const Seam&) = delete;

    [[nodiscard]] Pointer get() const { return current_.load(); }

private:
    template <typename>
    friend class ScopedOverride;

    std::atomic<Pointer> current_;
};

// While it lives, the seam holds the replacement; the value before comes back
// when it ends. Overrides nest and end in the reverse order of their making.
template <typename Pointer>
class ScopedOverride {
public:
    ScopedOverride(Seam<Pointer>& seam, Pointer replacement)
        : seam_(seam), previous_(seam.current_.exchange(replacement)) {}
    ~ScopedOverride() { seam_.current_.store(previous_); }
    ScopedOverride(const ScopedOverride&) = delete;
    ScopedOverride& operator=(const ScopedOverride&) = delete;

private:
    Seam<Pointer>& seam_;
    Pointer previous_;
};

}  // namespace velkast
