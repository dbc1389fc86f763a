#pragma once
// A registry key of the test's own, in the given hive and view, deleted with
// everything below it when the object goes.

#include <windows.h>

#include <string>

namespace velkast::testing {

class RegistryKey {
public:
    // Creates Software\VelkastTest\<unique>\<leaf> under the hive, in the view
    // (KEY_WOW64_64KEY or KEY_WOW64_32KEY).
    RegistryKey(HKEY hive, REGSAM view, const std::wstring& leaf = L"App");
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // The key's path below the hive.
    const std::wstring& path() const { return path_; }

    // Sets INSTALLDIR (or another value) as REG_SZ; the byte count can be
    // given to store text without its terminating NUL.
    void SetString(const std::wstring& value, const wchar_t* name = L"INSTALLDIR", DWORD bytes = 0);

private:
    HKEY hive_;
    REGSAM view_;
    std::wstring base_;
    std::wstring path_;
};

// A name unique to this process and call, for keys that several keys share.
std::wstring UniqueTestKeyBase();

}  // namespace velkast::testing
