#include <windows.h>
#include <shlwapi.h>

#include "win32/copy/CopyWorker.h"

#include <cwchar>

#include "core/job/CopyJob.h"
#include "resources/resource.h"
#include "win32/copy/CopyFileSeam.h"
#include "win32/copy/CopyProgress.h"
#include "win32/copy/PostProcess.h"
#include "win32/errors/ErrorReport.h"
#include "win32/paths/DirectoryTree.h"
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

// Takes read-only, hidden and system marks off a file that exists.
void MakeNormal(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != 0 && attributes != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// The copy service does not call the progress routine everywhere (Wine never
// does), so the file's final count is reported once more after each copy:
// where the routine was called, this adds nothing and repeats the display.
void ReportFinalCount(CopyJob& job, const std::wstring& destination) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(destination.c_str(), GetFileExInfoStandard, &data)) {
        return;
    }
    LARGE_INTEGER size;
    size.LowPart = data.nFileSizeLow;
    size.HighPart = static_cast<LONG>(data.nFileSizeHigh);
    CopyProgressProc(size, size, size, size, 1, CALLBACK_CHUNK_FINISHED, nullptr, nullptr, &job);
}

enum class Outcome { Copied, FolderFailed, CopyFailed };

struct Result {
    Outcome outcome;
    DWORD error;  // of a failed copy, read right after it
};

Result CopyEntryFile(CopyJob& job, const CopyEntry& entry, BOOL& cancel) {
    const std::wstring source = entry.sourceFolder + entry.fileName;
    const std::wstring destination = entry.targetFolder + entry.fileName;
    SetDlgItemTextW(job.copyDialog, IDC_TARGET_FOLDER, entry.targetFolder.c_str());
    job.fileBytesCounted = 0;
    SetWindowTextW(GetDlgItem(job.copyDialog, IDC_FILE_NAME), DisplayName(entry.fileName).c_str());

    MakeNormal(destination);
    if (!CreateDirectoryTree(Shortened(destination, PathRemoveFileSpecW).c_str())) {
        return {Outcome::FolderFailed, 0};
    }
    if (!CopyFileWithProgress(source.c_str(), destination.c_str(), CopyProgressProc, &job, &cancel,
                              COPY_FILE_RESTARTABLE)) {
        return {Outcome::CopyFailed, GetLastError()};
    }
    MakeNormal(destination);
    ReportFinalCount(job, destination);
    return {Outcome::Copied, 0};
}

void EnableExit(const CopyJob& job) {
    EnableWindow(GetDlgItem(job.copyDialog, IDC_EXIT), TRUE);
}

}  // namespace

std::wstring DisplayName(const std::wstring& fileName) {
    return Shortened(Shortened(fileName, PathStripPathW), PathRemoveExtensionW);
}

DWORD WINAPI CopyThreadProc(LPVOID argument) {
    CopyJob& job = *static_cast<CopyJob*>(argument);
    try {
        BOOL cancel = FALSE;  // nothing ever cancels a copy
        for (std::int32_t index = 0; index < job.entryCount; ++index) {
            const Result result = CopyEntryFile(job, job.entries[static_cast<std::size_t>(index)], cancel);
            if (result.outcome == Outcome::FolderFailed) {
                ShowMessageBox(job.copyDialog, L"ディレクトリの作成に失敗しました", L"ファイル転送エラー",
                               MB_OK);
                EnableExit(job);
                break;
            }
            if (result.outcome == Outcome::CopyFailed) {
                ReportSystemError(L"コピーに失敗しました。", result.error, VELKAST_HERE);
                EnableExit(job);
                break;
            }
        }
    } catch (...) {
        // Out of memory mid-plan: stop copying, but still finish below.
    }

    SetWindowTextW(GetDlgItem(job.copyDialog, IDC_HEADING), L"コピーが終了しました");
    EnableExit(job);
    try {
        RunPostProcess(job);
    } catch (...) {
    }
    return 0;
}

}  // namespace velkast
