#include "support/win32/RegistryKey.h"

#include <atomic>
#include <stdexcept>

#include "win32/platform/Owners.h"

namespace velkast::testing {

std::wstring UniqueTestKeyBase() {
    static std::atomic<unsigned> counter{0};
    return L"Software\\VelkastTest\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(counter++);
}

RegistryKey::RegistryKey(HKEY hive, REGSAM view, const std::wstring& leaf)
    : hive_(hive), view_(view), base_(UniqueTestKeyBase()), path_(base_ + L"\\" + leaf) {
    UniqueRegKey key;
    if (RegCreateKeyExW(hive_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view_, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("RegCreateKeyExW failed");
    }
}

RegistryKey::~RegistryKey() {
    UniqueRegKey parent;
    if (RegOpenKeyExW(hive_, L"Software\\VelkastTest", 0, KEY_ALL_ACCESS | view_, parent.put()) ==
        ERROR_SUCCESS) {
        RegDeleteTreeW(parent.get(), base_.substr(base_.rfind(L'\\') + 1).c_str());
    }
}

void RegistryKey::SetString(const std::wstring& value, const wchar_t* name, DWORD bytes) {
    UniqueRegKey key;
    if (RegOpenKeyExW(hive_, path_.c_str(), 0, KEY_SET_VALUE | view_, key.put()) != ERROR_SUCCESS) {
        throw std::runtime_error("RegOpenKeyExW failed");
    }
    const DWORD size = bytes != 0 ? bytes : static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    const LSTATUS status =
        RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), size);
    if (status != ERROR_SUCCESS) {
        throw std::runtime_error("RegSetValueExW failed");
    }
}

}  // namespace velkast::testing
