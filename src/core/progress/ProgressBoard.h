#pragma once
// Where the copy worker leaves the latest state of the copy for the display to
// pick up: the file being copied and the bytes copied over the whole plan.
// The worker writes without ever waiting for the display's thread; the
// display reads a consistent snapshot whenever it draws.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace velkast {

struct ProgressSnapshot {
    bool fileStarted = false;  // false until the first file begins
    std::wstring targetFolder;
    std::wstring displayName;
    bool bytesReported = false;  // false until the first count arrives
    std::uint64_t copiedBytes = 0;
};

class ProgressBoard {
public:
    void FileStarted(const std::wstring& targetFolder, const std::wstring& displayName);
    // Lock-free: the copy service's progress routine calls it for every chunk.
    void BytesCopied(std::uint64_t copiedBytes) noexcept;
    [[nodiscard]] ProgressSnapshot Read() const;

private:
    mutable std::mutex mutex_;
    bool fileStarted_ = false;
    std::wstring targetFolder_;
    std::wstring displayName_;
    std::atomic<bool> bytesReported_{false};
    std::atomic<std::uint64_t> copiedBytes_{0};
};

}  // namespace velkast
