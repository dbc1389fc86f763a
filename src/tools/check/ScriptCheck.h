#pragma once
// The script checker: reads an update script as the updater does, through
// the core's own text line store and copy plan builder, and reports the plan
// the updater would build, or the message with which it would refuse the
// script, together with diagnostics for the mistakes that the updater passes
// over in silence. Nothing is ever shown in a box.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/paths/InstallRoot.h"
#include "core/plan/PlanObserver.h"

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

enum class Severity { Error, Warning, Note };

const wchar_t* SeverityName(Severity severity);

struct Diagnostic {
    std::uint32_t line = 0;  // 1-based physical line; 0 for the file as a whole
    Severity severity = Severity::Note;
    std::string code;  // a stable name, such as "near-miss-header"
    std::wstring text;
};

// One of the builder's boxes.
struct PlanBox {
    std::optional<std::wstring> caption;  // none: the system's default caption
    std::wstring text;
};

struct LaunchReport {
    std::uint32_t line = 0;
    std::wstring text;                     // the launch line's first field
    std::optional<std::wstring> document;  // the program folder and the second piece
};

struct BlockReport {
    std::uint32_t line = 0;  // the header's
    std::wstring key;
    std::optional<RegistryHive> hive;  // where the install root was found
    std::wstring installRoot;          // empty when not found
    std::wstring checkList;
    PlanObserver::RootVerdict verdict = PlanObserver::RootVerdict::NotFound;
    std::vector<std::pair<std::wstring, bool>> testedNames;  // check names and whether each exists
    std::optional<std::uint8_t> rootMode;                    // once read
    std::wstring rootModeText;
    std::wstring message;
    std::optional<std::wstring> sourceFolder;  // once the folder line is accepted
    std::uint32_t keyLine = 0;
    std::uint32_t checkListLine = 0;
    bool complete = true;  // false when the script ends inside the block
};

struct FileReport {
    std::uint32_t line = 0;
    std::size_t block = 0;  // index into blocks
    std::wstring fileLine;
    std::wstring source;
    std::wstring destination;
    std::uint64_t size = 0;
};

struct PostProcessReport {
    std::uint32_t line = 0;  // the line that names the item
    std::wstring path;
    bool checkedByUpdater = false;  // a file line was accepted after it
};

struct RefusalReport {
    std::uint32_t line = 0;
    std::string code;            // as the error diagnostic's code
    std::vector<PlanBox> boxes;  // the builder's boxes, in order; none for a tab-led line
    std::wstring systemError;    // why a file could not be opened: the system's box before
};

struct CheckReport {
    std::wstring scriptName;
    std::wstring programFolder;  // as shown
    bool accepted = false;
    std::optional<LaunchReport> launch;
    std::vector<BlockReport> blocks;
    std::vector<FileReport> files;
    std::uint64_t totalBytes = 0;
    std::optional<PostProcessReport> postProcess;
    std::optional<RefusalReport> refusal;
    std::uint32_t exclusiveEnd = 0;       // the header at which an exclusive block ends the pass, or 0
    std::vector<Diagnostic> diagnostics;  // in line order

    std::size_t Count(Severity severity) const;
    // 0: accepted without warnings; 1: accepted with warnings; 2: refused.
    int ExitStatus() const;
};

// The program folder that start-up forms from the folder the updater runs
// from: a trailing backslash added, slashes turned into backslashes and
// doubled backslashes collapsed, at most 259 characters.
std::wstring ProgramFolderOf(const std::wstring& folder);
// The same for the folder that holds this file.
std::wstring ProgramFolderOfFile(const std::wstring& file);

// Checks the script's bytes as the updater would read them from the program
// folder (as ProgramFolderOf gives it), with the system's registry and files.
CheckReport CheckScript(const std::string& bytes,
                        const std::wstring& scriptName,
                        const std::wstring& programFolder,
                        CheckSystem& system);

// The report of a script file that cannot be read at all.
CheckReport UnreadableScript(const std::wstring& scriptName, const std::wstring& reason);

}  // namespace velkast::check
