#pragma once
// The command line of velkast-check, apart from the process: the arguments
// in, the texts for standard output and standard error and the exit status
// out. The host (the Linux or the Windows program, or a test) reads files
// and provides the system.

#include <memory>
#include <string>
#include <vector>

#include "tools/check/ScriptCheck.h"

namespace velkast::check {

// Exit status of a usage error (EX_USAGE).
constexpr int kUsageError = 64;

// An install root given on the command line: --installdir KEY=FOLDER.
struct InstallDirOption {
    RegistryHive hive = RegistryHive::CurrentUser;
    std::wstring key;
    std::wstring folder;
};

class CheckHost {
public:
    virtual ~CheckHost() = default;
    // The whole file, or false with the system's reason.
    virtual bool ReadFile(const std::wstring& path, std::string& bytes, std::wstring& reason) = 0;
    // The path made absolute.
    virtual std::wstring AbsolutePath(const std::wstring& path) = 0;
    // Whether install roots come from the command line (the host build)
    // rather than from the registry (Windows).
    virtual bool TakesInstallDirs() const = 0;
    virtual std::unique_ptr<CheckSystem> MakeSystem(const std::vector<InstallDirOption>& installDirs) = 0;
};

struct CommandResult {
    int status = 0;
    std::wstring out;
    std::wstring err;
};

CommandResult RunCheckCommand(const std::vector<std::wstring>& args, CheckHost& host);

// The host of this build: the real files and, on Windows, the registry.
std::unique_ptr<CheckHost> MakeLocalHost();

}  // namespace velkast::check
