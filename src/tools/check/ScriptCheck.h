#pragma once
// The script checker: reads an update script as the updater does, through
// the core's own text line store and copy plan builder, and reports the plan
// the updater would build, or the message with which it would refuse the
// script, together with diagnostics for the mistakes that the updater passes
// over in silence. Nothing is ever shown in a box.

#include <cstdint>
#include <optional>
#include <string>

#include "core/paths/InstallRoot.h"
#include "tools/check/CheckReport.h"

namespace velkast::check {

// What the checker asks of the system: the updater's registry and file tests,
// without any box.
class CheckSystem : public InstallDirSource {
public:
    // True when the path is neither a file nor a folder.
    virtual bool IsPathMissing(const std::wstring& path) = 0;
    // The file's size when it can be opened for reading as the updater opens
    // it; otherwise none, with the system's reason.
    virtual std::optional<std::uint64_t> OpenForReadSize(const std::wstring& path, std::wstring& reason) = 0;
    // The path as the user should see it.
    virtual std::wstring ShownPath(const std::wstring& path) const { return path; }
};

// Checks the script's bytes as the updater would read them from the program
// folder (as ProgramFolderOf gives it), with the system's registry and files.
CheckReport CheckScript(const std::string& bytes,
                        const std::wstring& scriptName,
                        const std::wstring& programFolder,
                        CheckSystem& system);

// The report of a script file that cannot be read at all.
CheckReport UnreadableScript(const std::wstring& scriptName, const std::wstring& reason);

}  // namespace velkast::check
