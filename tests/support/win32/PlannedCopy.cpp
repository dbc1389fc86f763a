#include "support/win32/PlannedCopy.h"

#include <shlobj.h>

#include "win32/platform/Owners.h"
#include "win32/window/MessagePump.h"

namespace velkast::testing {

void PlannedCopy::Plan(const std::wstring& name, const std::string& contents, DWORD attributes) {
    const std::wstring source = program / (L"files\\" + name);
    SHCreateDirectoryExW(nullptr, source.substr(0, source.find_last_of(L'\\')).c_str(), nullptr);
    WriteFile(source, contents);
    SetFileAttributesW(source.c_str(), attributes);
    job.entries.push_back(CopyEntry{name, program / L"files\\", install.path()});
    job.totalBytes += contents.size();
}

DWORD RunCopyWorker(CopyRun& run) {
    const UniqueHandle thread(CreateThread(nullptr, 0, CopyThreadProc, &run, 0, nullptr));
    if (!thread) {
        return static_cast<DWORD>(-1);
    }
    WaitForThread(thread.get());
    DWORD code = static_cast<DWORD>(-1);
    GetExitCodeThread(thread.get(), &code);
    return code;
}

}  // namespace velkast::testing
