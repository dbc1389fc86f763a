#include "tools/check/CheckCommand.h"

#include <optional>

#include "VelkastVersion.h"
#include "core/paths/ProgramFolder.h"
#include "tools/check/CheckFormat.h"

namespace velkast::check {
namespace {

std::wstring Usage(bool installDirs) {
    std::wstring text =
        L"usage: velkast-check [--json] [--program-folder FOLDER]" +
        std::wstring(installDirs ? L" [--installdir KEY=FOLDER]..." : L"") +
        L" Update.up\n"
        L"Reads an update script as the updater does and reports the plan it would build, or the message\n"
        L"with which it would refuse the script, and every pitfall found, one a line:\n"
        L"  Update.up:LINE: error|warning|note: text\n"
        L"\n"
        L"  --json                     the report as JSON\n"
        L"  --program-folder FOLDER    the folder the updater runs from (default: the script's folder)\n";
    if (installDirs) {
        text +=
            L"  --installdir KEY=FOLDER    the INSTALLDIR value of the registry key KEY under "
            L"HKEY_CURRENT_USER\n"
            L"                             (write HKLM\\KEY for HKEY_LOCAL_MACHINE); may be repeated\n";
    } else {
        text += L"Install roots are read from the registry, as the updater reads them.\n";
    }
    text +=
        L"  --help                     this text\n"
        L"  --version                  the version, the same as Velkast.exe's\n"
        L"\n"
        L"Exit status: 0 accepted without warnings, 1 accepted with warnings, 2 refused, 64 usage error.\n";
    return text;
}

CommandResult UsageError(const std::wstring& message) {
    return CommandResult{kUsageError, L"", L"velkast-check: " + message + L"\nTry 'velkast-check --help'.\n"};
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        wchar_t a = text[i];
        if (a >= L'a' && a <= L'z') {
            a = static_cast<wchar_t>(a - L'a' + L'A');
        }
        if (a != prefix[i]) {
            return false;
        }
    }
    return true;
}

// KEY=FOLDER, the key perhaps beginning with its hive.
std::optional<InstallDirOption> ParseInstallDir(const std::wstring& spec) {
    const std::size_t equals = spec.find(L'=');
    if (equals == std::wstring::npos || equals == 0 || equals + 1 == spec.size()) {
        return std::nullopt;
    }
    InstallDirOption option;
    option.key = spec.substr(0, equals);
    option.folder = spec.substr(equals + 1);
    const struct {
        const wchar_t* prefix;
        RegistryHive hive;
    } hives[] = {{L"HKEY_CURRENT_USER\\", RegistryHive::CurrentUser},
                 {L"HKCU\\", RegistryHive::CurrentUser},
                 {L"HKEY_LOCAL_MACHINE\\", RegistryHive::LocalMachine},
                 {L"HKLM\\", RegistryHive::LocalMachine}};
    for (const auto& hive : hives) {
        if (StartsWithNoCase(option.key, hive.prefix)) {
            option.key.erase(0, std::wstring(hive.prefix).size());
            option.hive = hive.hive;
            break;
        }
    }
    if (option.key.empty()) {
        return std::nullopt;
    }
    return option;
}

}  // namespace

CommandResult RunCheckCommand(const std::vector<std::wstring>& args, CheckHost& host) {
    bool json = false;
    std::optional<std::wstring> programFolder;
    std::vector<InstallDirOption> installDirs;
    std::optional<std::wstring> script;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        // An option's value follows it, or its "=".
        const auto value = [&](const std::wstring& name) -> std::optional<std::wstring> {
            if (arg == name) {
                if (i + 1 < args.size()) {
                    return args[++i];
                }
                return std::nullopt;
            }
            return arg.substr(name.size() + 1);
        };
        if (!options || arg == L"-" || !StartsWith(arg, L"-")) {
            if (script) {
                return UsageError(L"one script at a time");
            }
            script = arg;
        } else if (arg == L"--") {
            options = false;
        } else if (arg == L"--help" || arg == L"-h") {
            return CommandResult{0, Usage(host.TakesInstallDirs()), L""};
        } else if (arg == L"--version") {
            return CommandResult{0, L"velkast-check " VELKAST_VERSION L"\n", L""};
        } else if (arg == L"--json") {
            json = true;
        } else if (arg == L"--program-folder" || StartsWith(arg, L"--program-folder=")) {
            programFolder = value(L"--program-folder");
            if (!programFolder || programFolder->empty()) {
                return UsageError(L"--program-folder needs a folder");
            }
        } else if (arg == L"--installdir" || StartsWith(arg, L"--installdir=")) {
            if (!host.TakesInstallDirs()) {
                return UsageError(L"--installdir is for the host build; on Windows the registry is read");
            }
            const std::optional<std::wstring> spec = value(L"--installdir");
            const std::optional<InstallDirOption> option = spec ? ParseInstallDir(*spec) : std::nullopt;
            if (!option) {
                return UsageError(L"--installdir needs KEY=FOLDER");
            }
            installDirs.push_back(*option);
            installDirs.back().folder = host.AbsolutePath(installDirs.back().folder);
        } else {
            return UsageError(L"unknown option " + arg);
        }
    }
    if (!script) {
        return UsageError(L"no script given");
    }

    std::string bytes;
    std::wstring reason;
    CheckReport report;
    if (!host.ReadFile(*script, bytes, reason)) {
        report = UnreadableScript(*script, reason);
    } else {
        const std::wstring folder = programFolder ? ProgramFolderOf(host.AbsolutePath(*programFolder))
                                                  : ProgramFolderOfFile(host.AbsolutePath(*script));
        const std::unique_ptr<CheckSystem> system = host.MakeSystem(installDirs);
        report = CheckScript(bytes, *script, folder, *system);
    }
    return CommandResult{report.ExitStatus(), json ? FormatJson(report) : FormatText(report), L""};
}

}  // namespace velkast::check
