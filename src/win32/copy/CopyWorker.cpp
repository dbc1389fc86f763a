#include <windows.h>
#include <shlwapi.h>

#include "win32/copy/CopyWorker.h"

#include <cwchar>

#include "win32/copy/CopyFileSeam.h"
#include "win32/copy/CopyProgress.h"
#include "win32/copy/PostProcess.h"
#include "win32/errors/ErrorReport.h"
#include "win32/paths/DirectoryTree.h"
#include "win32/platform/Owners.h"
#include "win32/ui/MessageBoxSeam.h"

namespace velkast {
namespace {

// Applies a path function that shortens its text in place.
template <typename Function>
std::wstring Shortened(std::wstring path, Function function) {
    path.push_back(L'\0');
    function(path.data());
    path.resize(std::wcslen(path.c_str()));
    return path;
}

// Takes read-only, hidden and system marks off a file that exists; false
// when there is none.
bool MakeNormal(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    if (attributes != 0) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    return true;
}

// Gives the new file normal attributes and tells its size, the file's final
// count: the copy service does not call the progress routine everywhere
// (Wine never does), so the count is reported once more after each copy;
// where the routine was called, this adds nothing.
void FinishNewFile(CopyRun& run, const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return;
    }
    if (data.dwFileAttributes != FILE_ATTRIBUTE_NORMAL) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    LARGE_INTEGER size;
    size.LowPart = data.nFileSizeLow;
    size.HighPart = static_cast<LONG>(data.nFileSizeHigh);
    CopyProgressProc(size, size, size, size, 1, CALLBACK_CHUNK_FINISHED, nullptr, nullptr, &run);
}

// The new file is copied to a temporary file beside the destination, which
// then takes the destination's place in one rename on the same volume: a copy
// that fails, a full drive among the reasons, leaves the old file as it was.
// Until it is put in place, the temporary file goes again with its owner.
class TemporaryCopy {
public:
    explicit TemporaryCopy(const std::wstring& destination)
        : path_(Shortened(destination, PathRemoveFileSpecW) + L"\\~velkast" +
                std::to_wstring(GetCurrentProcessId()) + L".tmp") {}
    ~TemporaryCopy() {
        if (!placed_) {
            MakeNormal(path_);
            DeleteFileW(path_.c_str());
        }
    }
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;

    const std::wstring& path() const { return path_; }

    // Replaces the destination; false, with the system's error set, when it
    // cannot.
    bool PutInPlace(const std::wstring& destination) {
        placed_ = MoveFileExW(path_.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
        return placed_;
    }

private:
    std::wstring path_;
    bool placed_ = false;
};

// A destination that another program holds open without letting others
// write is reported as the copy service would report it, before anything is
// copied: the sharing violation.
DWORD DestinationInUse(const std::wstring& destination) {
    const UniqueFile probe(CreateFileW(destination.c_str(), GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return probe ? ERROR_SUCCESS : GetLastError();
}

enum class Outcome { Copied, FolderFailed, CopyFailed };

struct Result {
    Outcome outcome;
    DWORD error;  // of a failed copy, read right after it
};

Result CopyEntryFile(CopyRun& run, const CopyEntry& entry, BOOL& cancel) {
    const std::wstring source = entry.sourceFolder + entry.fileName;
    const std::wstring destination = entry.targetFolder + entry.fileName;
    run.job.fileBytesCounted = 0;
    run.display.FileStarted(entry.targetFolder, DisplayName(entry.fileName));

    const bool replacing = MakeNormal(destination);
    if (!CreateDirectoryTree(Shortened(destination, PathRemoveFileSpecW).c_str())) {
        return {Outcome::FolderFailed, 0};
    }
    if (replacing) {
        if (const DWORD inUse = DestinationInUse(destination); inUse != ERROR_SUCCESS) {
            return {Outcome::CopyFailed, inUse};
        }
    }
    TemporaryCopy copy(destination);
    if (!CopyFileWithProgress(source.c_str(), copy.path().c_str(), CopyProgressProc, &run, &cancel,
                              COPY_FILE_RESTARTABLE)) {
        return {Outcome::CopyFailed, GetLastError()};
    }
    FinishNewFile(run, copy.path());
    if (!copy.PutInPlace(destination)) {
        return {Outcome::CopyFailed, GetLastError()};
    }
    return {Outcome::Copied, 0};
}

// Copies the entries in order; at the first failure the user is told, with
// the display showing the state at that moment, and the copy stops.
void CopyEntries(CopyRun& run) {
    BOOL cancel = FALSE;  // nothing ever cancels a copy
    for (const CopyEntry& entry : run.job.entries) {
        const Result result = CopyEntryFile(run, entry, cancel);
        if (result.outcome == Outcome::FolderFailed) {
            run.display.Flush();
            ShowMessageBox(run.display.BoxOwner(), L"ディレクトリの作成に失敗しました", L"ファイル転送エラー",
                           MB_OK);
            return;
        }
        if (result.outcome == Outcome::CopyFailed) {
            run.display.Flush();
            ReportSystemError(L"コピーに失敗しました。", result.error, VELKAST_HERE);
            return;
        }
    }
}

}  // namespace

std::wstring DisplayName(const std::wstring& fileName) {
    return Shortened(Shortened(fileName, PathStripPathW), PathRemoveExtensionW);
}

DWORD WINAPI CopyThreadProc(LPVOID argument) {
    CopyRun& run = *static_cast<CopyRun*>(argument);
    try {
        CopyEntries(run);
    } catch (...) {
        // Memory ran out mid-plan (nothing else throws here): a failed copy
        // like any other, if there is memory left to say so.
        try {
            run.display.Flush();
            ReportSystemError(L"コピーに失敗しました。", ERROR_NOT_ENOUGH_MEMORY, VELKAST_HERE);
        } catch (...) {
        }
    }
    run.display.Finished();
    try {
        RunPostProcess(run.job);
    } catch (...) {
    }
    return 0;
}

}  // namespace velkast
