#pragma once
// The diagnostics of a script, made from what the checker has learnt of it:
// the report so far, what the plan builder did, and the script's lines. Each
// concern has its own part; CheckScript runs them in the order below.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tools/check/PlanTrace.h"
#include "tools/check/ScriptCheck.h"
#include "tools/check/ScriptLines.h"

namespace velkast::check {

// Where the diagnostics go.
class Diagnostics {
public:
    explicit Diagnostics(std::vector<Diagnostic>& list) : list_(list) {}
    void Add(std::uint32_t line, Severity severity, const char* code, std::wstring text) {
        list_.push_back(Diagnostic{line, severity, code, std::move(text)});
    }

private:
    std::vector<Diagnostic>& list_;
};

// What the diagnostics are made from, and where they go.
struct Diagnosis {
    CheckReport& report;
    CheckSystem& system;
    const Trace& trace;
    const RecordingSystem& recorder;
    const std::vector<LineView>& views;
    const std::optional<std::wstring>& launchDocument;  // as the updater forms it
    Diagnostics& out;

    const LineView* View(std::uint32_t line) const {
        return line >= 1 && line <= views.size() ? &views[line - 1] : nullptr;
    }
    bool CommentCut(std::uint32_t line) const {
        const LineView* view = View(line);
        return view != nullptr && view->commentCut();
    }
    const LineUse* Use(std::uint32_t line) const {
        const auto found = trace.uses.find(line);
        return found == trace.uses.end() ? nullptr : &found->second;
    }
};

// The launch line and its document.
void DiagnoseLaunch(Diagnosis& diagnosis);
// Why the updater refuses the script, when it does; sets the report's refusal.
void DiagnoseRefusal(Diagnosis& diagnosis);
// The blocks and each of their lines.
void DiagnoseBlocks(Diagnosis& diagnosis);
// The file lines, the post-process item and the end of the pass.
void DiagnoseFiles(Diagnosis& diagnosis);
// What the store makes of each line: cut, comments, tabs.
void DiagnoseLines(Diagnosis& diagnosis);

// Why a block's install root is not valid.
std::wstring RejectionText(const BlockReport& block);

}  // namespace velkast::check
