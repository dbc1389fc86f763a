#include <windows.h>
#include <shellapi.h>

#include "win32/ui/ShellSeam.h"

namespace velkast {

Seam<ShellOpenHandler*> shellOpenSeam{nullptr};

void OpenWithShell(const std::wstring& path) {
    if (ShellOpenHandler* handler = shellOpenSeam.get()) {
        handler->Open(path);
        return;
    }
    OpenWithRealShell(path);
}

void OpenWithRealShell(const std::wstring& path) {
    ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace velkast
