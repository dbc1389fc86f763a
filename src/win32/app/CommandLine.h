#pragma once
// The process's command line: a run with /quiet, /passive or /log goes its
// own way; any other is the interactive run, whatever the line holds.

#include <windows.h>

#include <string>
#include <vector>

#include "core/job/CopyJob.h"

namespace velkast {

// The arguments after the program's own path, split as the system splits
// them (CommandLineToArgvW: blanks separate, double quotes group).
std::vector<std::wstring> CommandLineArguments(const std::wstring& commandLine);

// The whole run for this process's command line; its exit code.
int RunProgram(HINSTANCE instance, CopyJob& job);

}  // namespace velkast
