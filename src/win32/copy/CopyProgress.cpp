#include "win32/copy/CopyProgress.h"

#include "core/progress/Progress.h"
#include "win32/copy/CopyWorker.h"

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
    CopyRun& run = *static_cast<CopyRun*>(data);
    AdvanceCopiedBytes(run.job, static_cast<std::uint64_t>(totalBytesTransferred.QuadPart));
    run.display.BytesCopied(run.job.copiedBytes);
    return PROGRESS_CONTINUE;
}

}  // namespace velkast
