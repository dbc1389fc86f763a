#pragma once
// The checker's system on Windows: the real registry and file system, asked
// as the updater asks them, with no box ever shown.

#include <string>

#include "tools/check/ScriptCheck.h"

namespace velkast::check {

class Win32CheckSystem : public CheckSystem {
public:
    // The 64-bit registry view first and, where the key or its value is
    // missing there, the 32-bit view, as the updater looks.
    bool ReadInstallDir(RegistryHive hive, const std::wstring& key, PathBuffer& value) override;
    bool IsPathMissing(const std::wstring& path) override;
    // Opens the file as the updater does (reading, others may read too).
    std::optional<std::uint64_t> OpenForReadSize(const std::wstring& path, std::wstring& reason) override;
};

}  // namespace velkast::check
