#include "win32/app/LoggedRun.h"

#include "VelkastVersion.h"

#include <optional>
#include <utility>

#include "core/paths/InstallRoot.h"
#include "core/paths/ProgramFile.h"
#include "core/plan/CopyPlanBuilder.h"
#include "core/platform/DebugOutput.h"
#include "core/run/ExitCode.h"
#include "core/run/PlanLog.h"
#include "core/text/TextLine.h"
#include "win32/app/Startup.h"
#include "win32/copy/CopyWorker.h"
#include "win32/log/BoxLog.h"
#include "win32/log/CopyLog.h"
#include "win32/log/RunLogFile.h"
#include "win32/log/ShellLog.h"
#include "win32/plan/Win32PlanSystem.h"
#include "win32/ui/ShellSeam.h"

namespace velkast {
namespace {

const wchar_t* ModeName(RunMode mode) {
    switch (mode) {
        case RunMode::Quiet:
            return L"quiet run";
        case RunMode::Passive:
            return L"passive run";
        default:
            return L"interactive run";
    }
}

// A quiet run: the plan is built and carried out on this thread, with no
// window; boxes and documents have been taken by the log.
ExitCode CopyQuietly(CTextLine& script, CopyJob& job, PlanLog& plan, CopyLog& copy, RunLog& log) {
    Win32PlanSystem system(nullptr);
    if (!CopyPlanBuilder(script, job, system, &plan).Build()) {
        return ExitCodeForRefusal(plan.refusal().value_or(PlanObserver::Refusal::NoText));
    }
    // A post-process document is not opened; a program still runs.
    std::wstring document;
    if (!job.postProcessPath.empty() && !IsProgramFile(job.postProcessPath)) {
        document = std::exchange(job.postProcessPath, std::wstring());
    }
    CopyRun run{job, copy};
    CopyThreadProc(&run);
    if (!document.empty()) {
        log.Write(L"not opened (quiet run): " + document);
    }
    // Where a person's Exit would open the report; the log takes it.
    OpenWithShell(job.programFolder + L"Report.txt");
    return copy.outcome().value_or(ExitCode::CopyFailed);
}

// The steps of start-up as the interactive run takes them, each failure
// ending the run with its code. None: a person ended the run before the copy.
std::optional<ExitCode> RunSteps(HINSTANCE instance, CopyJob& job, const RunOptions& options, RunLog& log) {
    if (options.problem) {
        if (options.unattended()) {
            log.Write(L"command line: " + *options.problem);
            return ExitCode::CommandLine;
        }
        log.Write(L"command line: " + *options.problem + L", ignored in an interactive run");
    }
    // Without a person no box is shown; in a quiet run no document is opened.
    const BoxLog boxes(log, !options.unattended());
    const ShellLog shell(log, options.mode != RunMode::Quiet);

    OwnedMutex mutex;
    switch (TakeInstance(mutex)) {
        case InstanceCheck::AnotherInstance:
            return ExitCode::AnotherInstance;
        case InstanceCheck::Failed:
            return ExitCode::InternalError;
        case InstanceCheck::Taken:
            break;
    }
    if (job.programFolder.empty()) {
        log.Write(L"the path of the program's own file cannot be had");
        if (options.unattended()) {
            return ExitCode::ProgramFolderUnknown;
        }
    }

    CTextLine script;
    if (!LoadScript(job.programFolder, script)) {
        log.Write(L"no script: " + job.programFolder + L"Update.up is missing, empty or without content");
        // The mutex goes before the box, as in the interactive run.
        mutex.reset();
        ReportMissingScript();
        return ExitCode::ScriptMissing;
    }
    OpenLaunchDocument(script, job.programFolder);

    PlanLog plan(log);
    CopyLog copy(job, log);
    if (options.mode == RunMode::Quiet) {
        return CopyQuietly(script, job, plan, copy, log);
    }
    ShowDialogs(instance, script, job, CopyDialogOptions{&plan, &copy, options.mode == RunMode::Passive});
    if (plan.refusal()) {
        return ExitCodeForRefusal(*plan.refusal());
    }
    const std::optional<ExitCode> copied = copy.outcome();
    // Started by the program itself, a copy that never ran has failed.
    return copied || !options.unattended() ? copied : ExitCode::CopyFailed;
}

}  // namespace

int RunLogged(HINSTANCE instance, CopyJob& job, const RunOptions& options, const std::wstring& commandLine) {
    RunLogFile log(options.logPath);
    if (!options.logPath.empty() && !log.isOpen()) {
        // The run goes on without its log.
        WriteDebugOutput((L"Velkast: the log " + options.logPath + L" cannot be opened: " +
                          ErrorReason(log.openError()) + L"\n")
                             .c_str());
    }
    ClearPathBuffers();
    job.programFolder = ProgramFolder();
    log.Write(std::wstring(L"start: Velkast " VELKAST_VERSION L", ") + ModeName(options.mode) +
              L", program folder " +
              (job.programFolder.empty() ? std::wstring(L"(unknown)") : job.programFolder) +
              L", command line: " + commandLine);

    std::optional<ExitCode> end;
    try {
        end = RunSteps(instance, job, options, log);
    } catch (...) {
        // Out of memory: nothing else throws.
        log.Write(L"stopped: out of memory");
        end = ExitCode::InternalError;
    }
    const int exitCode = options.unattended() && end ? static_cast<int>(*end) : 0;
    log.Write(L"finished: " + (end ? ExitCodeMeaning(*end) : std::wstring(L"the copy was not started")) +
              L", exit code " + std::to_wstring(exitCode));
    return exitCode;
}

}  // namespace velkast
