#pragma once
// The plan builder's view of the system, with the real registry, file system
// and message boxes.

#include <windows.h>

#include "core/plan/PlanSystem.h"

namespace velkast {

class Win32PlanSystem : public PlanSystem {
public:
    // The builder's own boxes are owned by this window (the copy dialog).
    explicit Win32PlanSystem(HWND owner) : owner_(owner) {}

    // Looks in the 64-bit registry view first and, where the key or its value
    // is missing there, in the 32-bit view, where 32-bit installers put the
    // keys of their applications under HKEY_LOCAL_MACHINE\Software.
    bool ReadInstallDir(RegistryHive hive, const std::wstring& key, PathBuffer& value) override;
    bool IsPathMissing(const std::wstring& path) override;
    // Opens with OpenForRead, which shows the system's text when it fails.
    std::optional<std::uint64_t> OpenForReadSize(const std::wstring& path) override;
    void ShowPlanMessage(const std::wstring& text, const wchar_t* caption) override;

private:
    HWND owner_;
};

}  // namespace velkast
