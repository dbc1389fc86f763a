#include "core/run/ExitCode.h"

namespace velkast {

std::wstring ExitCodeMeaning(ExitCode code) {
    switch (code) {
        case ExitCode::Success:
            return L"the update was copied";
        case ExitCode::CommandLine:
            return L"the command line is not valid";
        case ExitCode::AnotherInstance:
            return L"another instance is running";
        case ExitCode::ProgramFolderUnknown:
            return L"the program's own folder is unknown";
        case ExitCode::ScriptMissing:
            return L"Update.up is missing, empty or without content";
        case ExitCode::RequiredApplication:
            return L"a required application is not installed or not verified";
        case ExitCode::PlanRefused:
            return L"the update script was refused";
        case ExitCode::DestinationFolder:
            return L"a destination folder could not be made";
        case ExitCode::CopyFailed:
            return L"the copy failed";
        case ExitCode::InternalError:
            return L"internal error";
    }
    return L"exit code " + std::to_wstring(static_cast<int>(code));
}

ExitCode ExitCodeForRefusal(PlanObserver::Refusal why) {
    return why == PlanObserver::Refusal::RootRequired ? ExitCode::RequiredApplication : ExitCode::PlanRefused;
}

}  // namespace velkast
