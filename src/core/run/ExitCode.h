#pragma once
// The exit codes of a run with /quiet or /passive: 0 when the update was
// copied, one stable code for each way a run can end without it. A run
// without those switches always ends with 0.
//
// The codes form one block, 20 to 28: clear of 1 and 2, which scripts and
// command interpreters give for their own failures, of 3010 and 1641, which
// deployment tools read as "restart needed", of 1618 (retry later) and of the
// installers' 16xx codes; and below 256, so that they reach a caller whole
// even where only the low 8 bits of an exit status survive.

#include <string>

#include "core/plan/PlanObserver.h"

namespace velkast {

enum class ExitCode : int {
    Success = 0,
    CommandLine = 20,           // an unknown switch or another mistake on the command line
    AnotherInstance = 21,       // another Velkast is running
    ProgramFolderUnknown = 22,  // the program's own folder could not be had
    ScriptMissing = 23,         // Update.up missing, empty or without content
    RequiredApplication = 24,   // a required application not installed or not verified
    PlanRefused = 25,           // any other refusal of the script
    DestinationFolder = 26,     // a destination folder could not be made
    CopyFailed = 27,            // a file could not be copied, or the copy did not run
    InternalError = 28,         // the single-instance mutex could not be made, memory ran out
};

// What the code means, in words for the log.
std::wstring ExitCodeMeaning(ExitCode code);

// The code of a run whose plan the builder refused for this reason.
ExitCode ExitCodeForRefusal(PlanObserver::Refusal why);

}  // namespace velkast
