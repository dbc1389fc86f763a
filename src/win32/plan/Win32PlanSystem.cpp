#include "win32/plan/Win32PlanSystem.h"

#include "win32/errors/ErrorReport.h"
#include "win32/plan/InstallDirRegistry.h"
#include "win32/ui/MessageBoxSeam.h"

namespace velkast {

bool Win32PlanSystem::ReadInstallDir(RegistryHive hive, const std::wstring& key, PathBuffer& value) {
    return ReadInstallDirValue(hive, key, value);
}

bool Win32PlanSystem::IsPathMissing(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES || attributes == 0;
}

std::optional<std::uint64_t> Win32PlanSystem::OpenForReadSize(const std::wstring& path) {
    const UniqueHandle file = OpenForRead(path.c_str());
    if (!file) {
        return std::nullopt;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) {
        return std::uint64_t{0};
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

void Win32PlanSystem::ShowPlanMessage(const std::wstring& text, const wchar_t* caption) {
    ShowMessageBox(owner_, text.c_str(), caption, MB_OK | MB_TOPMOST);
}

}  // namespace velkast
