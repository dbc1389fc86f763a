#include "win32/copy/WorkerStart.h"

namespace velkast {
namespace {

HANDLE CreateWorkerThread(LPTHREAD_START_ROUTINE routine, LPVOID argument) {
    return CreateThread(nullptr, 0, routine, argument, 0, nullptr);
}

}  // namespace

Seam<ThreadStartFunction> threadStartSeam{&CreateWorkerThread};

UniqueHandle StartCopyWorker(CopyRun& run) {
    return UniqueHandle(threadStartSeam.get()(CopyThreadProc, &run));
}

}  // namespace velkast
