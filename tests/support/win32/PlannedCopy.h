#pragma once
// A program folder with the files of an update, an install root, and the
// copy plan between them, for tests of the copy worker and its display.

#include <windows.h>

#include <string>

#include "core/job/CopyJob.h"
#include "support/win32/TempFolder.h"
#include "win32/copy/CopyWorker.h"

namespace velkast::testing {

struct PlannedCopy {
    // A source file under the program folder's files\ (its folders made as
    // needed) and its entry in the plan, to the same name in the install root.
    void Plan(const std::wstring& name,
              const std::string& contents,
              DWORD attributes = FILE_ATTRIBUTE_NORMAL);

    TempFolder program;
    TempFolder install;
    CopyJob job;
};

// Runs CopyThreadProc with the run on a thread of its own, pumping this
// thread's messages until it has ended; the thread's exit code.
DWORD RunCopyWorker(CopyRun& run);

}  // namespace velkast::testing
