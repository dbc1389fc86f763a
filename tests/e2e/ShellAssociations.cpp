#include "ShellAssociations.h"

#include <tlhelp32.h>

#include "BuildPaths.h"
#include "win32/platform/Owners.h"

namespace velkast::e2e {
namespace {

constexpr wchar_t kFileType[] = L"VelkastE2E.Recorded";

void SetDefaultValue(const std::wstring& keyPath, const std::wstring& value) {
    UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                        nullptr) == ERROR_SUCCESS) {
        RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
}

bool ReadDefaultValue(const std::wstring& keyPath, std::wstring& value) {
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        return false;
    }
    wchar_t data[256] = {};
    DWORD size = sizeof(data) - sizeof(wchar_t);
    if (RegQueryValueExW(key.get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) ==
        ERROR_SUCCESS) {
        value = data;
    }
    return true;
}

bool ChildStillRunning(DWORD programId, const std::vector<std::wstring>& fileNames) {
    const UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return false;
    }
    bool found = false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more && !found;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ParentProcessID != programId) {
            continue;
        }
        for (const auto& name : fileNames) {
            if (lstrcmpiW(entry.szExeFile, name.c_str()) == 0) {
                found = true;
            }
        }
    }
    return found;
}

}  // namespace

std::wstring RecorderPath() {
    return BuildPath(VELKAST_RECORDER_RELATIVE_PATH);
}

ShellAssociations::ShellAssociations(std::vector<std::wstring> extensions) {
    SetDefaultValue(std::wstring(kFileType) + L"\\shell\\open\\command",
                    L"\"" + RecorderPath() + L"\" \"%1\"");
    for (auto& extension : extensions) {
        Previous previous{extension, false, L""};
        previous.existed = ReadDefaultValue(extension, previous.type);
        SetDefaultValue(extension, kFileType);
        previous_.push_back(std::move(previous));
    }
}

ShellAssociations::~ShellAssociations() {
    for (const auto& previous : previous_) {
        if (previous.existed) {
            SetDefaultValue(previous.extension, previous.type);
        } else {
            RegDeleteTreeW(HKEY_CLASSES_ROOT, previous.extension.c_str());
        }
    }
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kFileType);
}

void WaitForChildren(DWORD programId, const std::vector<std::wstring>& fileNames) {
    for (int i = 0; i < 1000 && ChildStillRunning(programId, fileNames); ++i) {
        Sleep(20);
    }
}

}  // namespace velkast::e2e
