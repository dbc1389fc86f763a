#include "win32/copy/CopyProgress.h"

#include <commctrl.h>

#include <string>

#include "core/job/CopyJob.h"
#include "core/progress/ByteCount.h"
#include "core/progress/Progress.h"
#include "resources/resource.h"

namespace velkast {

DWORD CALLBACK CopyProgressProc(LARGE_INTEGER,
                                LARGE_INTEGER totalBytesTransferred,
                                LARGE_INTEGER,
                                LARGE_INTEGER,
                                DWORD,
                                DWORD,
                                HANDLE,
                                HANDLE,
                                LPVOID data) {
    try {
        CopyJob& job = *static_cast<CopyJob*>(data);
        AdvanceCopiedBytes(job, static_cast<std::uint64_t>(totalBytesTransferred.QuadPart));

        // Each update is a synchronous call that the dialog's thread carries out.
        std::wstring copied;
        SetWindowTextW(GetDlgItem(job.copyDialog, IDC_COPIED_BYTES),
                       FormatByteCount(copied, job.copiedBytes).c_str());
        const std::uint64_t percent = ProgressPercent(job.copiedBytes, job.totalBytes);
        SendMessageW(GetDlgItem(job.copyDialog, IDC_PROGRESS), PBM_SETPOS,
                     static_cast<WPARAM>(static_cast<std::uint32_t>(percent)), 0);
        SetWindowTextW(GetDlgItem(job.copyDialog, IDC_PERCENT), PercentText(percent).c_str());
    } catch (...) {
        // The display is not worth stopping a copy for.
    }
    return PROGRESS_CONTINUE;
}

}  // namespace velkast
