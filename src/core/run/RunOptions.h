#pragma once
// The switches of a run for administrators: /quiet, /passive and /log FILE.
// A run without /quiet or /passive is the interactive run of a person, and
// its command line is otherwise ignored.

#include <optional>
#include <string>
#include <vector>

namespace velkast {

enum class RunMode {
    Interactive,  // a person answers the dialogs and the boxes
    Passive,      // the dialogs show, the program presses their buttons, boxes go to the log
    Quiet,        // no window and no box; documents are not opened
};

struct RunOptions {
    RunMode mode = RunMode::Interactive;
    std::wstring logPath;  // empty: no log
    // What is wrong with the command line, in words for the log: an unknown
    // switch, an argument that is no switch, /log without its file, or
    // /quiet together with /passive. An unattended run ends on it; an
    // interactive one ignores it.
    std::optional<std::wstring> problem;

    bool unattended() const { return mode != RunMode::Interactive; }
};

// Reads the arguments that follow the program's own path. A switch begins
// with "/" or "-" and its name compares without regard to ASCII case
// ("/QUIET", "-Quiet"); /log takes the next argument, whatever it is, as
// its file, and a later /log replaces an earlier one.
RunOptions ParseRunOptions(const std::vector<std::wstring>& arguments);

}  // namespace velkast
