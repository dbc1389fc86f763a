#include "win32/app/Startup.h"

#include "core/paths/InstallRoot.h"
#include "core/paths/ProgramFolder.h"
#include "core/platform/AnsiText.h"
#include "core/script/LaunchLine.h"
#include "core/script/UpdaterBoxes.h"
#include "core/text/TextLine.h"
#include "resource.h"
#include "win32/app/VelkastDlg.h"
#include "win32/app/WaitDlg.h"
#include "win32/errors/ErrorReport.h"
#include "win32/files/OpenForRead.h"
#include "win32/platform/Owners.h"
#include "win32/ui/MessageBoxSeam.h"
#include "win32/ui/ShellSeam.h"
#include "win32/window/WndBase.h"

namespace velkast {
namespace {

constexpr wchar_t kMutexName[] = L"__Velkast_Class__";
constexpr wchar_t kMutexFailed[] = L"ミューテックスオブジェクトの作成に失敗しました。";
constexpr wchar_t kAlreadyRunning[] =
    L"ミューテックスオブジェクトの作成に失敗しました。ERROR_ALREADY_EXISTS ";

void OpenLaunchDocument(CTextLine& script, const std::wstring& programFolder) {
    const std::wstring document = LaunchDocument(WidenAnsi(script.GetField()));
    if (!document.empty()) {
        OpenWithShell(programFolder + document);
    }
}

}  // namespace

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    // A name that fills the whole buffer was cut: as good as none.
    if (length > 0 && length < MAX_PATH) {
        return ProgramFolderOfFile(path);
    }
    return MakeRootPath(0, L"");
}

bool ReadScriptFile(const std::wstring& path, HeapBlock& block, std::uint32_t& size) {
    block.reset();
    size = 0;
    if (path.empty()) {
        return false;
    }
    DWORD error = ERROR_SUCCESS;
    const UniqueFile file = TryOpenForRead(path.c_str(), error);
    if (!file) {
        return false;
    }
    LARGE_INTEGER fileSize{};
    // The store takes at most 32-bit sizes; a larger file is not a script.
    if (!GetFileSizeEx(file.get(), &fileSize) || fileSize.QuadPart <= 0 ||
        fileSize.QuadPart >= 0xFFFFFFFFLL) {
        return false;
    }
    const auto bytes = static_cast<std::uint32_t>(fileSize.QuadPart);
    HeapBlock data(bytes);
    if (!data) {
        return false;
    }
    DWORD read = 0;
    if (!ReadFile(file.get(), data.get(), bytes, &read, nullptr)) {
        return false;
    }
    block = std::move(data);
    size = bytes;
    return true;
}

bool LoadScript(const std::wstring& programFolder, CTextLine& script) {
    // Without its folder the script would be read from the current folder.
    if (programFolder.empty()) {
        return false;
    }
    HeapBlock bytes;
    std::uint32_t size = 0;
    if (!ReadScriptFile(programFolder + L"Update.up", bytes, size)) {
        return false;
    }
    if (script.Load(bytes.get(), size)) {
        return true;
    }
    script.Clear();
    return false;
}

int RunVelkast(HINSTANCE instance, CopyJob& job) {
    const HANDLE handle = CreateMutexW(nullptr, TRUE, kMutexName);
    const DWORD created = GetLastError();
    if (handle == nullptr) {
        ReportError(kMutexFailed, VELKAST_HERE);
        return 0;
    }
    if (created == ERROR_ALREADY_EXISTS) {
        // Another instance owns it; this one only holds a handle.
        const UniqueHandle other(handle);
        ReportError(kAlreadyRunning, VELKAST_HERE);
        return 0;
    }
    OwnedMutex mutex(handle);

    CTextLine script;
    ClearPathBuffers();
    job.programFolder = ProgramFolder();
    if (!LoadScript(job.programFolder, script)) {
        // The mutex goes before the box, so another instance may start meanwhile.
        mutex.reset();
        ShowMessageBox(nullptr, kScriptMissingText, kScriptMissingCaption, MB_OK);
        return 0;
    }

    OpenLaunchDocument(script, job.programFolder);

    // Torn down in the reverse order: the copy dialog (once its worker has
    // ended), the wait dialog, the script, the mutex.
    CWaitDlg waitDialog;
    const HWND wait = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_WAIT), nullptr, BaseWndProc,
                                         reinterpret_cast<LPARAM>(&waitDialog));
    // Paint it now: the plan is built inside the copy dialog's initialisation,
    // before any message loop runs, and the wait dialog would stay blank.
    UpdateWindow(wait);

    CVelkastDlg copyDialog(script, job, wait);
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_COPY), nullptr, BaseWndProc,
                    reinterpret_cast<LPARAM>(&copyDialog));
    return 0;
}

}  // namespace velkast
