#include <windows.h>

#include "win32/plan/InstallDirRegistry.h"

#include <algorithm>

#include "win32/platform/Owners.h"

namespace velkast {

bool ReadInstallDirValue(RegistryHive hive, const std::wstring& key, PathBuffer& value) {
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
        if (status != ERROR_FILE_NOT_FOUND) {
            break;
        }
    }
    std::fill(std::begin(value), std::end(value), L'\0');
    return false;
}

}  // namespace velkast
