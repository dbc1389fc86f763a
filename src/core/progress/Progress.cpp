#include "core/progress/Progress.h"

#include <cmath>
#include <cwchar>

#include "core/job/CopyJob.h"

namespace velkast {

void AdvanceCopiedBytes(CopyJob& job, std::uint64_t fileBytesTransferred) {
    const std::uint64_t step = fileBytesTransferred - job.fileBytesCounted;
    job.fileBytesCounted = fileBytesTransferred;
    job.copiedBytes += step;
}

std::uint64_t ProgressPercent(std::uint64_t copied, std::uint64_t total) {
    const double percent = static_cast<double>(copied) / static_cast<double>(total) * 100.0;
    // 2^64 itself is already out of range.
    if (std::isnan(percent) || percent < 0.0 || percent >= 18446744073709551616.0) {
        return 0;
    }
    return static_cast<std::uint64_t>(percent);
}

std::wstring PercentText(std::uint64_t percent) {
    wchar_t text[32];
    std::swprintf(text, sizeof(text) / sizeof(text[0]), L"%3d %%",
                  static_cast<int>(static_cast<std::int32_t>(static_cast<std::uint32_t>(percent))));
    return text;
}

}  // namespace velkast
