#include "win32/plan/Win32PlanSystem.h"

#include "win32/files/OpenForRead.h"
#include "win32/files/PathAttributes.h"
#include "win32/plan/InstallDirRegistry.h"
#include "win32/ui/MessageBoxSeam.h"

namespace velkast {

bool Win32PlanSystem::ReadInstallDir(RegistryHive hive, const std::wstring& key, PathBuffer& value) {
    return ReadInstallDirValue(hive, key, value);
}

bool Win32PlanSystem::IsPathMissing(const std::wstring& path) {
    return HasNoAttributes(path);
}

std::optional<std::uint64_t> Win32PlanSystem::OpenForReadSize(const std::wstring& path) {
    const UniqueFile file = OpenForRead(path.c_str());
    if (!file) {
        return std::nullopt;
    }
    return OpenFileSize(file.get());
}

void Win32PlanSystem::ShowPlanMessage(const std::wstring& text, const wchar_t* caption) {
    ShowMessageBox(owner_, text.c_str(), caption, MB_OK | MB_TOPMOST);
}

}  // namespace velkast
