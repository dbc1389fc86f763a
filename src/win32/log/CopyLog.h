#pragma once
// The copy as the log tells it: its start with the plan's total, every file
// copied with its size, the failure that stops it with the system's reason,
// its end and the post-process item; and how it ended, for the exit code.
// The worker reports to it on its own thread; the outcome is read once the
// worker has ended.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/job/CopyJob.h"
#include "core/run/ExitCode.h"
#include "core/run/RunLog.h"
#include "win32/copy/CopyDisplay.h"

namespace velkast {

class CopyLog final : public CopyDisplay {
public:
    CopyLog(const CopyJob& job, RunLog& log) : job_(job), log_(log) {}

    // None when no copy was started; Success when every entry was copied.
    // It stays valid once the plan has been emptied.
    std::optional<ExitCode> outcome() const;

    void FileStarted(const std::wstring& targetFolder, const std::wstring& displayName) override;
    void BytesCopied(std::uint64_t copiedBytes) override;
    void Flush() override {}
    // Boxes of a run without a window have no owner.
    HWND BoxOwner() override { return nullptr; }
    void Finished() override;
    void Failed(const CopyEntry& entry, CopyFailure why, DWORD error) override;

private:
    // The file being copied, if any, has been copied: no failure came.
    void FileDone();
    std::wstring Position(std::size_t index) const;

    const CopyJob& job_;
    RunLog& log_;
    std::size_t started_ = 0;  // files begun
    std::size_t copied_ = 0;
    std::uint64_t bytes_ = 0;           // over the whole plan, as last reported
    std::uint64_t fileStartBytes_ = 0;  // when the current file began
    std::optional<CopyFailure> failure_;
    bool finished_ = false;
    // Every entry copied, as the plan stood at the end (the dialog empties
    // the plan when it goes).
    bool complete_ = false;
};

}  // namespace velkast
