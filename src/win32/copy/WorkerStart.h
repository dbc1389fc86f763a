#pragma once
// Starting the copy worker's thread, through a function that tests can
// replace (to see what the dialog does when no thread can be made).

#include <windows.h>

namespace velkast {

struct CopyJob;

using ThreadStartFunction = HANDLE (*)(LPTHREAD_START_ROUTINE routine, LPVOID argument);

// CopyThreadProc on a new thread with the job as its argument, running at
// once; the thread's handle, or null with the thread's last error set.
HANDLE StartCopyWorker(CopyJob& job);

class ThreadStartScope {
public:
    explicit ThreadStartScope(ThreadStartFunction function);
    ~ThreadStartScope();
    ThreadStartScope(const ThreadStartScope&) = delete;
    ThreadStartScope& operator=(const ThreadStartScope&) = delete;

private:
    ThreadStartFunction previous_;
};

}  // namespace velkast
