#pragma once
// The copy worker: carries out the copy plan on a thread of its own.

#include <windows.h>

#include <string>

#include "core/job/CopyJob.h"
#include "win32/copy/CopyDisplay.h"

namespace velkast {

// What the worker is handed: the plan to carry out, where its counts go, and
// whom to tell. Both outlive the worker's thread.
struct CopyRun {
    CopyJob& job;
    CopyDisplay& display;
};

// The copy worker's thread routine; the argument is the CopyRun. Copies the
// plan's entries in order, stopping at the first failure, then lets the
// display show the end and opens the post-process item. Ends with 0.
DWORD WINAPI CopyThreadProc(LPVOID run);

// What the dialog shows while a file is copied: its last component without
// its last extension (bin\data.tar.gz gives data.tar).
std::wstring DisplayName(const std::wstring& fileName);

}  // namespace velkast
