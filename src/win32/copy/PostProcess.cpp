#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include "win32/copy/PostProcess.h"

#include "core/job/CopyJob.h"

namespace velkast {

bool RunPostProcess(const CopyJob& job) {
    if (job.postProcessPath.empty()) {
        return true;
    }
    // The shell may hand the request to extensions that need COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    SHELLEXECUTEINFOW request{};
    request.cbSize = sizeof(request);
    // The program may end right after asking: the shell must be done with the
    // request before it returns.
    request.fMask = SEE_MASK_NOASYNC;
    request.hwnd = nullptr;
    request.lpVerb = nullptr;
    request.lpFile = job.postProcessPath.c_str();
    request.lpParameters = nullptr;
    request.lpDirectory = job.postProcessFolder.c_str();
    request.nShow = SW_SHOWNORMAL;
    const bool accepted = ShellExecuteExW(&request) && reinterpret_cast<INT_PTR>(request.hInstApp) > 32;
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return accepted;
}

}  // namespace velkast
