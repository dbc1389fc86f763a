#pragma once
// What the script checker reports: the plan the updater would build, or the
// boxes with which it would refuse the script, and the diagnostics.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/paths/InstallRoot.h"
#include "core/plan/PlanObserver.h"

namespace velkast::check {

enum class Severity { Error, Warning, Note };

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

// The names with which the report speaks of its parts.
const wchar_t* SeverityName(Severity severity);
const wchar_t* HiveName(RegistryHive hive);
// "required", "exclusive" or "optional".
const wchar_t* RootModeName(std::uint8_t mode);
// The verdict as a word ("not-found") and as the plan describes it.
const wchar_t* VerdictName(PlanObserver::RootVerdict verdict);
const wchar_t* VerdictText(PlanObserver::RootVerdict verdict);
const wchar_t* BlockLineName(PlanObserver::BlockLine which);
// The refusal's code, as its error diagnostic's.
const char* RefusalCode(PlanObserver::Refusal why);

// The boxes of a refusal in the order the updater shows them, each text in
// quotes, the system's first; with its caption when asked.
std::wstring BoxesText(const RefusalReport& refusal, bool systemCaption);

}  // namespace velkast::check
