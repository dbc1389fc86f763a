#include "win32/log/CopyLog.h"

#include <string>

#include "core/paths/ProgramFile.h"
#include "win32/log/RunLogFile.h"

namespace velkast {

std::wstring CopyLog::Position(std::size_t index) const {
    return std::to_wstring(index + 1) + L"/" + std::to_wstring(job_.entries.size());
}

void CopyLog::FileStarted(const std::wstring&, const std::wstring&) {
    if (started_ == 0) {
        log_.Write(L"copy started: " + std::to_wstring(job_.entries.size()) + L" files, " +
                   std::to_wstring(job_.totalBytes) + L" bytes in all");
    }
    FileDone();
    ++started_;
    fileStartBytes_ = bytes_;
}

void CopyLog::BytesCopied(std::uint64_t copiedBytes) {
    bytes_ = copiedBytes;
}

void CopyLog::FileDone() {
    if (started_ == copied_ || failure_ || started_ > job_.entries.size()) {
        return;
    }
    const CopyEntry& entry = job_.entries[copied_];
    log_.Write(L"copied " + Position(copied_) + L": " + entry.targetFolder + entry.fileName + L", " +
               std::to_wstring(bytes_ - fileStartBytes_) + L" bytes");
    ++copied_;
}

void CopyLog::Failed(const CopyEntry& entry, CopyFailure why, DWORD error) {
    failure_ = why;
    const std::wstring destination = entry.targetFolder + entry.fileName;
    const std::wstring what =
        why == CopyFailure::FolderNotMade
            ? L"its folder " + destination.substr(0, destination.find_last_of(L'\\') + 1) + L" cannot be made"
            : std::wstring(L"the copy failed");
    log_.Write(L"copy stopped at " + Position(started_ == 0 ? 0 : started_ - 1) + L": " + entry.sourceFolder +
               entry.fileName + L" -> " + destination + L": " + what + L", " + ErrorReason(error));
}

void CopyLog::Finished() {
    FileDone();
    finished_ = true;
    complete_ = !failure_ && copied_ == job_.entries.size();
    log_.Write(L"copy finished: " + std::to_wstring(copied_) + L" of " +
               std::to_wstring(job_.entries.size()) + L" files, " + std::to_wstring(bytes_) + L" bytes");
    // The worker opens the post-process item next.
    if (!job_.postProcessPath.empty()) {
        log_.Write((IsProgramFile(job_.postProcessPath) ? L"starting the post-process program "
                                                        : L"opening the post-process item ") +
                   job_.postProcessPath);
    }
}

std::optional<ExitCode> CopyLog::outcome() const {
    if (failure_) {
        return *failure_ == CopyFailure::FolderNotMade ? ExitCode::DestinationFolder : ExitCode::CopyFailed;
    }
    if (started_ == 0 && !finished_) {
        return std::nullopt;
    }
    return complete_ ? ExitCode::Success : ExitCode::CopyFailed;
}

}  // namespace velkast
