#pragma once
// The runs for administrators: /quiet (no window, no box, no document),
// /passive (the dialogs show and the program presses their buttons), and a
// run of a person with /log. Each writes what happens to the log that /log
// names, when it names one.

#include <windows.h>

#include <string>

#include "core/job/CopyJob.h"
#include "core/run/RunOptions.h"

namespace velkast {

// The whole run. A run with /quiet or /passive answers the code of its
// outcome (core/run/ExitCode.h); a run of a person answers 0.
int RunLogged(HINSTANCE instance, CopyJob& job, const RunOptions& options, const std::wstring& commandLine);

}  // namespace velkast
