// Process entry of Velkast.exe.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "core/job/CopyJob.h"
#include "win32/app/Startup.h"

namespace {

// The record of the run, there before WinMain and gone after it.
velkast::CopyJob g_copyJob;

// The common controls are no known system DLL: they are loaded by name from
// the system folder only, never from the program's own (download) folder.
void RegisterProgressBarClass() {
    const HMODULE controls = LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (controls == nullptr) {
        return;
    }
    using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto init = reinterpret_cast<InitFunction>(
        reinterpret_cast<void*>(GetProcAddress(controls, "InitCommonControlsEx")));
    if (init != nullptr) {
        const INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_PROGRESS_CLASS};
        init(&classes);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Run elevated from a download folder, the program must never load a DLL
    // planted beside it: from here on only the system folder is searched.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    RegisterProgressBarClass();
    // The shell may hand requests to extensions that need COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    int result = 0;
    try {
        result = velkast::RunVelkast(instance, g_copyJob);
    } catch (...) {
        // Memory that ran out during start-up or teardown: the run ends as
        // every run does, with 0.
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return result;
}
