// The headless demo's user: runs the Velkast.exe that it is given (in its
// update package) and does what a person does with it: waits for the copy
// dialog, presses Start, waits for the end of the copy, presses Exit. It
// reports each step on its standard output (UTF-8), saves screenshots of the
// copy dialog ready, copying and finished when VELKAST_E2E_SCREENSHOTS names
// a folder, and ends with 0 when the update ran through and Velkast.exe ended
// with 0. Any message box is reported and answered with OK, and the demo
// fails.
//
// Usage: velkast_demo_driver <path of Velkast.exe in the update package>

#include <windows.h>

#include <string>

#include "Package.h"
#include "ProgramWindows.h"
#include "Screenshot.h"
#include "ShellAssociations.h"
#include "VelkastProcess.h"
#include "resource.h"

namespace {

using namespace velkast::e2e;

void Say(const std::wstring& line) {
    const std::string bytes = Utf8(line + L"\n");
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
              nullptr);
}

void Picture(HWND window, const wchar_t* name) {
    const std::wstring folder = ScreenshotFolder();
    if (folder.empty()) {
        return;
    }
    Sleep(300);  // what has just changed is painted
    if (SaveScreenshot(window, folder + name)) {
        Say(L"  screenshot: " + std::wstring(name));
    } else {
        Say(L"  screenshot failed: " + std::wstring(name));
    }
}

void Describe(HWND dialog) {
    const CopyDialogView view = ReadCopyDialog(dialog);
    Say(L"  見出し: " + view.heading);
    Say(L"  コピー先フォルダ名: " + view.target);
    Say(L"  コピー中のファイル名: " + view.fileName);
    Say(L"  転送済み / 総バイト数: " + view.copied + L"byte / " + view.total + L"  (" + view.percent + L")");
}

// Reports and answers the boxes that the program shows; true when there was one.
bool AnswerBoxes(const VelkastProcess& process) {
    const auto boxes = MessageBoxes(process.id());
    for (const auto& box : boxes) {
        Say(L"message box 「" + box.caption + L"」: " + box.text);
        Press(box.window, IDOK);
    }
    return !boxes.empty();
}

int Run(const std::wstring& exe) {
    const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\') + 1);
    VelkastProcess process(VelkastProcess::Options{exe, folder, std::nullopt});
    if (!process.started()) {
        Say(L"cannot start " + exe + L": " + process.error());
        return 1;
    }
    Say(L"started " + exe);

    bool failed = false;
    HWND dialog = nullptr;
    WaitUntil(process, [&] {
        failed = AnswerBoxes(process) || failed;
        dialog = FindCopyDialog(process.id());
        return dialog != nullptr;
    });
    if (dialog == nullptr) {
        Say(L"the copy dialog did not show");
        process.WaitForExit();
        return 1;
    }
    Say(L"copy dialog ready:");
    Describe(dialog);
    Picture(dialog, L"copy-ready.png");

    // Held where the first missing folder is made, the copy shows half done.
    const bool held = process.Arm(Breakpoint{L"kernel32.dll", "CreateDirectoryW", {}, true});
    Say(L"pressing 開始 (Start)");
    Press(dialog, IDC_START);
    if (held && process.WaitForBreakpoint()) {
        Say(L"copying:");
        Describe(dialog);
        Picture(dialog, L"copy-progress.png");
        process.ReleaseHeldThreads();
    }

    WaitUntil(process, [&] {
        failed = AnswerBoxes(process) || failed;
        return ReadCopyDialog(dialog).exitEnabled;
    });
    Say(L"copy finished:");
    Describe(dialog);
    Picture(dialog, L"copy-finished.png");

    Say(L"pressing 終了 (Exit)");
    Press(dialog, IDC_EXIT);
    const auto exitCode = process.WaitForExit();
    // What it opened last (the report) records itself before the demo reads it.
    WaitForChildren(process.id(), {L"velkast_shell_recorder.exe"});
    for (const auto& text : process.debugOutput()) {
        Say(L"debugger output: " + text);
    }
    if (!exitCode) {
        Say(L"Velkast.exe did not end");
        return 1;
    }
    Say(L"Velkast.exe ended with exit code " + std::to_wstring(*exitCode));
    return failed || *exitCode != 0 ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        Say(L"usage: velkast_demo_driver <path of Velkast.exe in the update package>");
        return 2;
    }
    return Run(argv[1]);
}
