// Prints what the progress display costs the copy: the copy worker with the
// copy dialog's display against a bare loop of CopyFileExW without a progress
// routine, on the same files in the same run, for 2048 files of 64 KiB and
// for one file of 1 GiB (fastest of several rounds each, alternating); and
// the cost of one CopyProgressProc call while the dialog lives on another
// thread.

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/job/CopyJob.h"
#include "resource.h"
#include "support/win32/TempFolder.h"
#include "win32/app/CopyDialogDisplay.h"
#include "win32/copy/CopyProgress.h"
#include "win32/copy/CopyWorker.h"
#include "win32/platform/Owners.h"
#include "win32/ui/MessageBoxSeam.h"
#include "win32/window/MessagePump.h"

namespace {

using Clock = std::chrono::steady_clock;
using velkast::testing::TempFolder;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void WriteBytes(const std::wstring& path, std::size_t size) {
    const velkast::UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const std::string chunk(std::min<std::size_t>(size, 1 << 20), 'v');
    for (std::size_t written = 0; written < size; written += chunk.size()) {
        DWORD done = 0;
        WriteFile(file.get(), chunk.data(), static_cast<DWORD>(std::min(chunk.size(), size - written)), &done,
                  nullptr);
    }
}

// Hands the display its messages, as the copy dialog does.
INT_PTR CALLBACK DisplayDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        return FALSE;
    }
    auto* display = reinterpret_cast<velkast::CopyDialogDisplay*>(GetWindowLongPtrW(window, DWLP_USER));
    return display != nullptr && display->Handle(message, wParam) ? TRUE : FALSE;
}

// The copy dialog as Start leaves it, with a display of its own.
class DialogDisplay {
public:
    DialogDisplay(HMODULE resources, const velkast::CopyJob& job) : display(job) {
        dialog = CreateDialogParamW(resources, MAKEINTRESOURCEW(IDD_COPY), nullptr, DisplayDialogProc,
                                    reinterpret_cast<LPARAM>(&display));
        display.Attach(dialog);
        SendDlgItemMessageW(dialog, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        display.StartFrames();
    }
    ~DialogDisplay() { DestroyWindow(dialog); }
    DialogDisplay(const DialogDisplay&) = delete;
    DialogDisplay& operator=(const DialogDisplay&) = delete;

    velkast::CopyDialogDisplay display;
    HWND dialog = nullptr;
};

struct Files {
    std::wstring source, workerTarget, bareTarget;
    std::vector<std::wstring> names;
    std::uint64_t bytes = 0;
};

Files MakeFiles(const TempFolder& base, int count, std::size_t size) {
    Files files{base / L"src\\", base / L"worker\\", base / L"bare\\", {}, 0};
    CreateDirectoryW(files.source.c_str(), nullptr);
    for (int i = 0; i < count; ++i) {
        files.names.push_back(L"f" + std::to_wstring(i) + L".bin");
        WriteBytes(files.source + files.names.back(), size);
        files.bytes += size;
    }
    return files;
}

double TimeWorker(HMODULE resources, const Files& files) {
    velkast::CopyJob job;
    for (const auto& name : files.names) {
        job.entries.push_back({name, files.source, files.workerTarget});
    }
    job.totalBytes = files.bytes;
    DialogDisplay shown(resources, job);
    velkast::CopyRun run{job, shown.display};
    const auto start = Clock::now();
    const velkast::UniqueHandle thread(CreateThread(nullptr, 0, velkast::CopyThreadProc, &run, 0, nullptr));
    velkast::WaitForThread(thread.get());
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

void Compare(HMODULE resources, const char* label, int count, std::size_t size, int rounds) {
    const TempFolder base;
    const Files files = MakeFiles(base, count, size);
    double worker = 1e9;
    double bare = 1e9;
    for (int round = 0; round < rounds; ++round) {
        // Each round overwrites the copies of the round before, as an update does.
        if (round % 2 == 0) {
            bare = std::min(bare, TimeBareLoop(files));
            worker = std::min(worker, TimeWorker(resources, files));
        } else {
            worker = std::min(worker, TimeWorker(resources, files));
            bare = std::min(bare, TimeBareLoop(files));
        }
    }
    std::printf(
        "%-22s worker with dialog %7.3f s, bare CopyFileExW loop %7.3f s, ratio %.2f (fastest of %d)\n",
        label, worker, bare, worker / bare, rounds);
}

// One progress call from a thread of its own while the dialog's thread (this
// one) pumps and draws at its frame rate.
void TimeProgressCalls(HMODULE resources) {
    static velkast::CopyJob job;
    job.totalBytes = std::uint64_t{1} << 40;
    DialogDisplay shown(resources, job);
    static velkast::CopyRun* run = nullptr;
    velkast::CopyRun local{job, shown.display};
    run = &local;
    constexpr int kCalls = 2000000;
    static double seconds = 0;
    const velkast::UniqueHandle caller(CreateThread(
        nullptr, 0,
        [](LPVOID) -> DWORD {
            LARGE_INTEGER count{};
            const auto start = Clock::now();
            for (int i = 0; i < kCalls; ++i) {
                count.QuadPart += 65536;
                velkast::CopyProgressProc(count, count, count, count, 1, CALLBACK_CHUNK_FINISHED, nullptr,
                                          nullptr, run);
            }
            seconds = Seconds(start);
            return 0;
        },
        nullptr, 0, nullptr));
    velkast::WaitForThread(caller.get());
    std::printf("CopyProgressProc with the dialog on another thread: %.3f us per call (%d calls)\n",
                seconds * 1e6 / kCalls, kCalls);
}

class NoBoxes final : public velkast::MessageBoxHandler {
public:
    int Show(HWND, const wchar_t* text, const wchar_t*, UINT) override {
        std::fprintf(stderr, "box: %ls\n", text);
        return IDOK;
    }
};

}  // namespace

int main() {
    const INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    wchar_t self[MAX_PATH];
    std::wstring exe(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    exe = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"..\\src\\Velkast.exe";
    const HMODULE resources =
        LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (resources == nullptr) {
        std::fprintf(stderr, "cannot load the dialogs of %ls\n", exe.c_str());
        return 1;
    }
    NoBoxes noBoxes;
    const velkast::ScopedOverride<velkast::MessageBoxHandler*> boxes(velkast::messageBoxSeam, &noBoxes);

    Compare(resources, "2048 files of 64 KiB:", 2048, 64 << 10, 5);
    Compare(resources, "1 file of 1 GiB:", 1, std::size_t{1} << 30, 3);
    TimeProgressCalls(resources);
    return 0;
}
