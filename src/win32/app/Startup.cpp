#include "win32/app/Startup.h"

#include "core/paths/InstallRoot.h"
#include "core/paths/ProgramFolder.h"
#include "core/platform/AnsiText.h"
#include "core/script/LaunchLine.h"
#include "core/script/UpdaterBoxes.h"
#include "core/text/TextLine.h"
#include "resources/resource.h"
#include "win32/app/VelkastDlg.h"
#include "win32/errors/ErrorReport.h"
#include "win32/files/OpenForRead.h"
#include "win32/ui/MessageBoxSeam.h"
#include "win32/ui/ShellSeam.h"
#include "win32/window/WaitDlg.h"
#include "win32/window/WndBase.h"

namespace velkast {
namespace {

constexpr wchar_t kMutexName[] = L"__Velkast_Class__";
constexpr wchar_t kMutexFailed[] = L"ミューテックスオブジェクトの作成に失敗しました。";
constexpr wchar_t kAlreadyRunning[] =
    L"ミューテックスオブジェクトの作成に失敗しました。ERROR_ALREADY_EXISTS ";

// The single-instance mutex, owned by the main thread from its creation.
class InstanceMutex {
public:
    explicit InstanceMutex(HANDLE handle) : handle_(handle) {}
    ~InstanceMutex() { Release(); }
    InstanceMutex(const InstanceMutex&) = delete;
    InstanceMutex& operator=(const InstanceMutex&) = delete;

    void Release() {
        if (handle_ != nullptr) {
            ReleaseMutex(handle_);
            CloseHandle(handle_);
            handle_ = nullptr;
        }
    }

private:
    HANDLE handle_;
};

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
    const UniqueHandle file = TryOpenForRead(path.c_str(), error);
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

void WaitForThread(HANDLE thread) {
    for (;;) {
        const DWORD wait = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT);
        if (wait != WAIT_OBJECT_0 + 1) {
            return;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

int RunVelkast(HINSTANCE instance, CopyJob& job) {
    const HANDLE handle = CreateMutexW(nullptr, TRUE, kMutexName);
    if (handle == nullptr) {
        ReportError(kMutexFailed, VELKAST_HERE);
        return 0;
    }
    InstanceMutex mutex(handle);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        ReportError(kAlreadyRunning, VELKAST_HERE);
        return 0;
    }

    job.programFolder.clear();
    job.instance = instance;
    job.script = new CTextLine();
    ClearPathBuffers();
    job.programFolder = ProgramFolder();

    HeapBlock bytes;
    std::uint32_t size = 0;
    bool loaded = false;
    if (ReadScriptFile(job.programFolder + L"Update.up", bytes, size)) {
        loaded = job.script->Load(bytes.get(), size);
        bytes.reset();
    }
    if (!loaded) {
        // The mutex goes before the box, so another instance may start meanwhile.
        job.script->Clear();
        mutex.Release();
        delete job.script;
        job.script = nullptr;
        ShowMessageBox(nullptr, kScriptMissingText, kScriptMissingCaption, MB_OK);
        return 0;
    }

    OpenLaunchDocument(*job.script, job.programFolder);

    job.waitDialogObject = new CWaitDlg(job);
    job.waitDialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_WAIT), nullptr, BaseWndProc,
                                        reinterpret_cast<LPARAM>(job.waitDialogObject));
    // Paint it now: the plan is built inside the copy dialog's initialisation,
    // before any message loop runs, and the wait dialog would stay blank.
    UpdateWindow(job.waitDialog);

    auto* copyDialog = new CVelkastDlg(job);
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_COPY), nullptr, BaseWndProc,
                    reinterpret_cast<LPARAM>(copyDialog));

    // The worker uses the dialog, the plan and the job until its very end:
    // nothing of those goes before it has finished.
    if (copyDialog->workerThread != nullptr) {
        WaitForThread(copyDialog->workerThread);
        CloseHandle(copyDialog->workerThread);
        copyDialog->workerThread = nullptr;
    }
    job.copyDialogObject = copyDialog;

    delete job.copyDialogObject;
    job.copyDialogObject = nullptr;
    delete job.waitDialogObject;
    job.waitDialogObject = nullptr;
    delete job.script;
    job.script = nullptr;
    mutex.Release();
    return 0;
}

}  // namespace velkast
