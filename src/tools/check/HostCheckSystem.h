#pragma once
// The checker's system on Linux: install roots come from the command line,
// and the updater's Windows paths are mapped onto the local file system.

#include <string>
#include <vector>

#include "tools/check/CheckCommand.h"
#include "tools/check/ScriptCheck.h"

namespace velkast::check {

class HostCheckSystem : public CheckSystem {
public:
    explicit HostCheckSystem(std::vector<InstallDirOption> installDirs)
        : installDirs_(std::move(installDirs)) {}

    // The folder given for the key (ASCII case ignored, as the registry
    // ignores it) and the hive; a value of 260 characters or more is as
    // good as none, as the registry's 520-byte buffer would not take it.
    bool ReadInstallDir(RegistryHive hive, const std::wstring& key, PathBuffer& value) override;
    bool IsPathMissing(const std::wstring& path) override;
    std::optional<std::uint64_t> OpenForReadSize(const std::wstring& path, std::wstring& reason) override;
    // Backslashes shown as slashes.
    std::wstring ShownPath(const std::wstring& path) const override;

    // The local file that the updater's path names, as Windows would find
    // it: backslashes are separators, spaces and dots at the end of the last
    // name are dropped, and a name that does not exist as written is matched
    // regardless of ASCII case.
    static std::string LocalPath(const std::wstring& path);

private:
    std::vector<InstallDirOption> installDirs_;
};

}  // namespace velkast::check
