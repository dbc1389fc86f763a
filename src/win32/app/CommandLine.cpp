#include <windows.h>
#include <shellapi.h>

#include "win32/app/CommandLine.h"

#include "core/run/RunOptions.h"
#include "win32/app/LoggedRun.h"
#include "win32/app/Startup.h"
#include "win32/platform/Owners.h"

namespace velkast {

std::vector<std::wstring> CommandLineArguments(const std::wstring& commandLine) {
    std::vector<std::wstring> arguments;
    int count = 0;
    const LocalArguments split(CommandLineToArgvW(commandLine.c_str(), &count));
    if (!split) {
        return arguments;
    }
    for (int i = 1; i < count; ++i) {
        arguments.emplace_back(split.get()[i]);
    }
    return arguments;
}

int RunProgram(HINSTANCE instance, CopyJob& job) {
    const std::wstring commandLine = GetCommandLineW();
    const RunOptions options = ParseRunOptions(CommandLineArguments(commandLine));
    if (!options.unattended() && options.logPath.empty()) {
        // The run of a person, exactly as without any argument.
        return RunVelkast(instance, job);
    }
    return RunLogged(instance, job, options, commandLine);
}

}  // namespace velkast
