#include "VelkastResources.h"

#include <commctrl.h>

#ifndef VELKAST_EXE_RELATIVE_PATH
#error "the build passes the path of Velkast.exe relative to the test program"
#endif

namespace velkast::testing {

std::wstring VelkastExePath() {
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, length);
    path.erase(path.find_last_of(L"\\/") + 1);
    for (const char c : std::string(VELKAST_EXE_RELATIVE_PATH)) {
        path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    }
    wchar_t full[MAX_PATH];
    const DWORD fullLength = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return std::wstring(full, fullLength);
}

HMODULE VelkastResources() {
    static const HMODULE module = [] {
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        return LoadLibraryExW(VelkastExePath().c_str(), nullptr,
                              LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }();
    return module;
}

}  // namespace velkast::testing
