#include "core/progress/ProgressBoard.h"

namespace velkast {

void ProgressBoard::FileStarted(const std::wstring& targetFolder, const std::wstring& displayName) {
    const std::lock_guard lock(mutex_);
    fileStarted_ = true;
    targetFolder_ = targetFolder;
    displayName_ = displayName;
}

void ProgressBoard::BytesCopied(std::uint64_t copiedBytes) noexcept {
    copiedBytes_.store(copiedBytes, std::memory_order_relaxed);
    bytesReported_.store(true, std::memory_order_release);
}

ProgressSnapshot ProgressBoard::Read() const {
    ProgressSnapshot snapshot;
    {
        const std::lock_guard lock(mutex_);
        snapshot.fileStarted = fileStarted_;
        snapshot.targetFolder = targetFolder_;
        snapshot.displayName = displayName_;
    }
    snapshot.bytesReported = bytesReported_.load(std::memory_order_acquire);
    snapshot.copiedBytes = copiedBytes_.load(std::memory_order_relaxed);
    return snapshot;
}

}  // namespace velkast
