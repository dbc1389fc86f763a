#pragma once
// Starting the copy worker's thread, through a seam that tests can fill (to
// see what the dialog does when no thread can be made).

#include <windows.h>

#include "core/base/Seam.h"
#include "win32/copy/CopyWorker.h"
#include "win32/platform/Owners.h"

namespace velkast {

// Starts the routine on a new thread with the argument, running at once;
// the thread's handle, or null with the thread's last error set.
using ThreadStartFunction = HANDLE (*)(LPTHREAD_START_ROUTINE routine, LPVOID argument);

extern Seam<ThreadStartFunction> threadStartSeam;

// CopyThreadProc on a new thread with the run as its argument; empty, with
// the thread's last error set, when no thread could be made.
UniqueHandle StartCopyWorker(CopyRun& run);

}  // namespace velkast
