#include "win32/copy/WorkerStart.h"

#include <atomic>

#include "win32/copy/CopyWorker.h"

namespace velkast {
namespace {

HANDLE CreateWorkerThread(LPTHREAD_START_ROUTINE routine, LPVOID argument) {
    return CreateThread(nullptr, 0, routine, argument, 0, nullptr);
}

std::atomic<ThreadStartFunction> g_start{&CreateWorkerThread};

}  // namespace

HANDLE StartCopyWorker(CopyJob& job) {
    return g_start.load()(CopyThreadProc, &job);
}

ThreadStartScope::ThreadStartScope(ThreadStartFunction function) : previous_(g_start.exchange(function)) {}

ThreadStartScope::~ThreadStartScope() {
    g_start.store(previous_);
}

}  // namespace velkast
