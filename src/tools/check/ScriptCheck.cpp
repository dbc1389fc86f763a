#include "tools/check/ScriptCheck.h"

#include <algorithm>

#include "core/job/CopyJob.h"
#include "core/plan/CopyPlanBuilder.h"
#include "core/platform/AnsiText.h"
#include "core/platform/DebugOutput.h"
#include "core/script/LaunchLine.h"
#include "core/script/UpdaterBoxes.h"
#include "core/text/TextLine.h"
#include "tools/check/Diagnosis.h"
#include "tools/check/EncodingCheck.h"

namespace velkast::check {
namespace {

// Start-up's refusal of a script that it cannot read or that has no line
// with content: its one box.
RefusalReport MissingScript(std::uint32_t line, const char* code) {
    RefusalReport refusal;
    refusal.line = line;
    refusal.code = code;
    refusal.boxes.push_back(PlanBox{kScriptMissingCaption, kScriptMissingText});
    return refusal;
}

void Finish(CheckReport& report, std::vector<Diagnostic>& list) {
    std::stable_sort(list.begin(), list.end(), [](const Diagnostic& a, const Diagnostic& b) {
        return a.line != b.line ? a.line < b.line : a.severity < b.severity;
    });
    report.diagnostics = std::move(list);
}

}  // namespace

CheckReport UnreadableScript(const std::wstring& scriptName, const std::wstring& reason) {
    CheckReport report;
    report.scriptName = scriptName;
    report.refusal = MissingScript(0, "unreadable");
    report.diagnostics.push_back(Diagnostic{0, Severity::Error, "unreadable",
                                            L"cannot read the script (" + reason + L"): the updater shows " +
                                                BoxesText(*report.refusal, true) + L" and stops"});
    return report;
}

CheckReport CheckScript(const std::string& bytes,
                        const std::wstring& scriptName,
                        const std::wstring& programFolder,
                        CheckSystem& system) {
    CheckReport report;
    report.scriptName = scriptName;
    report.programFolder = system.ShownPath(programFolder);
    std::vector<Diagnostic> list;
    Diagnostics out(list);
    CheckEncoding(bytes, out);

    // The store's traces go to the capture, not to the output.
    DebugOutputCapture capture;
    CTextLine store;
    if (bytes.size() >= CTextBase::kInvalidFileSize ||
        !store.Load(bytes.data(), static_cast<std::uint32_t>(bytes.size()))) {
        report.refusal = MissingScript(1, "no-content");
        out.Add(1, Severity::Error, "no-content",
                L"the script has no line with content: the updater shows " +
                    BoxesText(*report.refusal, true) + L" and stops");
        Finish(report, list);
        return report;
    }
    const std::vector<LineView> views = ViewLines(bytes);

    // The launch line, as start-up reads it.
    LaunchReport launch;
    launch.line = store.currentLineIndex() + 1;
    launch.text = WidenAnsi(store.GetField());
    const std::wstring piece = LaunchDocument(launch.text);
    std::optional<std::wstring> document;
    if (!piece.empty()) {
        document = programFolder + piece;
        launch.document = system.ShownPath(*document);
    }
    report.launch = launch;

    CopyJob job;
    job.programFolder = programFolder;
    RecordingSystem recorder(system);
    Trace trace(report, system);
    trace.uses[launch.line] = {LineUse::Use::Launch};
    report.accepted = CopyPlanBuilder(store, job, recorder, &trace).Build();
    if (!trace.postProcesses.empty()) {
        report.postProcess = trace.postProcesses.back();
        report.postProcess->path = system.ShownPath(report.postProcess->path);
    }

    Diagnosis diagnosis{report, system, trace, recorder, views, document, out};
    DiagnoseLaunch(diagnosis);
    DiagnoseRefusal(diagnosis);
    DiagnoseBlocks(diagnosis);
    DiagnoseFiles(diagnosis);
    DiagnoseLines(diagnosis);
    Finish(report, list);
    return report;
}

}  // namespace velkast::check
