#include "win32/log/ShellLog.h"

namespace velkast {

void ShellLog::Open(const std::wstring& path) {
    if (!open_) {
        log_.Write(L"not opened (quiet run): " + path);
        return;
    }
    log_.Write(L"opening " + path);
    if (previous_ != nullptr) {
        previous_->Open(path);
    } else {
        OpenWithRealShell(path);
    }
}

}  // namespace velkast
