#include "win32/plan/Win32PlanSystem.h"

#include <algorithm>

#include "win32/errors/ErrorReport.h"
#include "win32/platform/UniqueRegKey.h"
#include "win32/ui/MessageBoxSeam.h"

namespace velkast {

bool Win32PlanSystem::ReadInstallDir(RegistryHive hive, const std::wstring& key, PathBuffer& value) {
    const HKEY root = hive == RegistryHive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        std::fill(std::begin(value), std::end(value), L'\0');
        UniqueRegKey opened;
        LSTATUS status = RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | view, opened.put());
        if (status == ERROR_SUCCESS) {
            DWORD size = sizeof(value);
            status = RegQueryValueExW(opened.get(), L"INSTALLDIR", nullptr, nullptr,
                                      reinterpret_cast<BYTE*>(value), &size);
            if (status == ERROR_SUCCESS) {
                return true;
            }
        }
        // Only a missing key or value sends the lookup on to the other view; a
        // value too large for the buffer, or one that may not be read, does not.
        if (status != ERROR_FILE_NOT_FOUND) {
            std::fill(std::begin(value), std::end(value), L'\0');
            return false;
        }
    }
    std::fill(std::begin(value), std::end(value), L'\0');
    return false;
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
