// Prints what the progress display costs the copy: the copy worker with its
// dialog against a bare loop of CopyFileExW without a progress routine, for
// 2048 files of 64 KiB and for one file of 1 GiB; and the cost of one
// CopyProgressProc call while the dialog lives on another thread.

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/job/CopyJob.h"
#include "resources/resource.h"
#include "win32/copy/CopyProgress.h"
#include "win32/copy/CopyWorker.h"
#include "win32/ui/MessageBoxSeam.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void WriteBytes(const std::wstring& path, std::size_t size) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const std::string chunk(std::min<std::size_t>(size, 1 << 20), 'v');
    for (std::size_t written = 0; written < size; written += chunk.size()) {
        DWORD done = 0;
        WriteFile(file, chunk.data(), static_cast<DWORD>(std::min(chunk.size(), size - written)), &done,
                  nullptr);
    }
    CloseHandle(file);
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileW((folder + L"*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(folder + name + L"\\");
            } else {
                DeleteFileW((folder + name).c_str());
            }
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

void Pump(HANDLE thread) {
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }
}

INT_PTR CALLBACK Quiet(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

struct Files {
    std::wstring source, workerTarget, bareTarget;
    std::vector<std::wstring> names;
    std::uint64_t bytes = 0;
};

Files MakeFiles(const std::wstring& base, int count, std::size_t size) {
    Files files{base + L"src\\", base + L"worker\\", base + L"bare\\", {}, 0};
    CreateDirectoryW(base.c_str(), nullptr);
    CreateDirectoryW(files.source.c_str(), nullptr);
    for (int i = 0; i < count; ++i) {
        files.names.push_back(L"f" + std::to_wstring(i) + L".bin");
        WriteBytes(files.source + files.names.back(), size);
        files.bytes += size;
    }
    return files;
}

double TimeWorker(HWND dialog, const Files& files) {
    velkast::CopyJob job;
    job.copyDialog = dialog;
    for (const auto& name : files.names) {
        job.entries.push_back({name, files.source, files.workerTarget});
    }
    job.entryCount = static_cast<std::int32_t>(job.entries.size());
    job.totalBytes = files.bytes;
    const auto start = Clock::now();
    const HANDLE thread = CreateThread(nullptr, 0, velkast::CopyThreadProc, &job, 0, nullptr);
    Pump(thread);
    CloseHandle(thread);
    return Seconds(start);
}

double TimeBareLoop(const Files& files) {
    CreateDirectoryW(files.bareTarget.c_str(), nullptr);
    const auto start = Clock::now();
    for (const auto& name : files.names) {
        CopyFileExW((files.source + name).c_str(), (files.bareTarget + name).c_str(), nullptr, nullptr,
                    nullptr, COPY_FILE_RESTARTABLE);
    }
    return Seconds(start);
}

void Compare(HWND dialog, const std::wstring& base, const char* label, int count, std::size_t size) {
    const Files files = MakeFiles(base, count, size);
    const double bare = TimeBareLoop(files);
    const double worker = TimeWorker(dialog, files);
    std::printf("%-22s worker with dialog %7.3f s, bare CopyFileExW loop %7.3f s, ratio %.2f\n", label,
                worker, bare, worker / bare);
    RemoveTree(base);
}

}  // namespace

int main() {
    const INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    wchar_t self[MAX_PATH];
    std::wstring exe(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    exe = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"..\\src\\Velkast.exe";
    const HMODULE resources =
        LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    const HWND dialog = CreateDialogParamW(resources, MAKEINTRESOURCEW(IDD_COPY), nullptr, Quiet, 0);
    if (dialog == nullptr) {
        std::fprintf(stderr, "cannot make the copy dialog from %ls\n", exe.c_str());
        return 1;
    }
    SendDlgItemMessageW(dialog, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    velkast::MessageBoxHandlerScope noBoxes(
        [](HWND, const wchar_t* text, const wchar_t*, UINT, void*) {
            std::fprintf(stderr, "box: %ls\n", text);
            return IDOK;
        },
        nullptr);

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring base =
        std::wstring(temp) + L"velkast-copy-bench-" + std::to_wstring(GetCurrentProcessId());
    Compare(dialog, base + L"-small\\", "2048 files of 64 KiB:", 2048, 64 << 10);
    Compare(dialog, base + L"-large\\", "1 file of 1 GiB:", 1, std::size_t{1} << 30);

    // One progress call: three synchronous updates carried out by the
    // dialog's thread (this one, pumping) for a caller on another thread.
    static velkast::CopyJob job;
    job.copyDialog = dialog;
    job.totalBytes = std::uint64_t{1} << 40;
    constexpr int kCalls = 20000;
    const auto start = Clock::now();
    const HANDLE caller = CreateThread(
        nullptr, 0,
        [](LPVOID) -> DWORD {
            LARGE_INTEGER count{};
            for (int i = 0; i < kCalls; ++i) {
                count.QuadPart += 65536;
                velkast::CopyProgressProc(count, count, count, count, 1, CALLBACK_CHUNK_FINISHED, nullptr,
                                          nullptr, &job);
            }
            return 0;
        },
        nullptr, 0, nullptr);
    Pump(caller);
    CloseHandle(caller);
    std::printf("CopyProgressProc with the dialog on another thread: %.1f us per call (%d calls)\n",
                Seconds(start) * 1e6 / kCalls, kCalls);
    DestroyWindow(dialog);
    return 0;
}
