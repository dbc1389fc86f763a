#include "tools/check/Diagnosis.h"

#include "core/job/CopyJob.h"
#include "core/plan/CopyPlanBuilder.h"
#include "tools/check/CheckText.h"

namespace velkast::check {
namespace {

using Refusal = PlanObserver::Refusal;
using Verdict = PlanObserver::RootVerdict;

}  // namespace

void DiagnoseRefusal(Diagnosis& d) {
    if (!d.trace.refusal) {
        return;
    }
    const auto [line, why] = *d.trace.refusal;
    RefusalReport refusal;
    refusal.line = line;
    refusal.code = RefusalCode(why);
    refusal.boxes = d.recorder.boxes;
    if (why == Refusal::SourceUnreadable || why == Refusal::PostProcessUnreadable) {
        refusal.systemError = d.recorder.openError;
    }
    const std::wstring shows = L": the updater shows " + BoxesText(refusal, true) + L" and stops";
    std::wstring text;
    switch (why) {
        case Refusal::NoText:
            text =
                L"the line begins with a tab: the updater reads no text from it and stops the update "
                L"here "
                L"without a message";
            break;
        case Refusal::RootRequired: {
            const BlockReport& block = d.report.blocks.back();
            refusal.line = block.verdict == Verdict::NotFound ? block.keyLine : block.checkListLine;
            text = L"required block without a valid install root (" + RejectionText(block) + L")" + shows;
            break;
        }
        case Refusal::FolderMarker:
        case Refusal::PostProcessMarker: {
            const BlockLineTrace& last = d.trace.blockLines.back();
            const bool folder = why == Refusal::FolderMarker;
            std::wstring hint;
            if (!d.trace.blocks.back().complete) {
                hint = L" (the script ends inside the block)";
            } else if (PathKey(last.text).find(PathKey(CopyPlanBuilder::kRootMarker)) != std::wstring::npos) {
                hint = L" (the marker is case-sensitive)";
            }
            text = std::wstring(folder ? L"the folder line " : L"the post-process line ") + Quote(last.text) +
                   L" does not contain \"%Root%\\\"" + hint + shows;
            break;
        }
        case Refusal::TooManyFiles:
            text = L"one file line too many: the updater accepts at most " + Number(kMaxCopyEntries) +
                   L" file lines" + shows;
            break;
        case Refusal::SourceUnreadable:
            text = L"cannot open the source " + d.system.ShownPath(d.recorder.openPath) + L" (" +
                   d.recorder.openError + L")" + shows;
            break;
        case Refusal::PostProcessUnreadable:
            text = L"cannot open the post-process item " + d.system.ShownPath(d.recorder.openPath) +
                   L" named at line " + Number(d.trace.postProcesses.back().line) + L" (" +
                   d.recorder.openError + L"); the updater checks it with every file line after it" + shows;
            break;
        case Refusal::NoFiles:
            text = std::wstring(L"no file line is accepted") +
                   (d.trace.fileLines.empty() ? L" (the script has none)" : L"") + shows;
            break;
    }
    d.out.Add(refusal.line, Severity::Error, refusal.code.c_str(), text);
    d.report.refusal = std::move(refusal);
}

}  // namespace velkast::check
