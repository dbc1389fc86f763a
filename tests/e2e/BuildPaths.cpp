#include "BuildPaths.h"

#include <windows.h>

#ifndef VELKAST_EXE_RELATIVE_PATH
#error "the build passes the path of Velkast.exe relative to the driver"
#endif

namespace velkast::e2e {

std::wstring BuildPath(const char* relative) {
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, length);
    path.erase(path.find_last_of(L"\\/") + 1);
    for (const char* c = relative; *c != '\0'; ++c) {
        path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    }
    wchar_t full[MAX_PATH];
    const DWORD fullLength = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return std::wstring(full, fullLength);
}

std::wstring VelkastExePath() {
    return BuildPath(VELKAST_EXE_RELATIVE_PATH);
}

}  // namespace velkast::e2e
