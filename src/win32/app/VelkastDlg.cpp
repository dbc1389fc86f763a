#include "win32/app/VelkastDlg.h"

#include <commctrl.h>

#include <string>

#include "core/plan/CopyPlanBuilder.h"
#include "core/progress/ByteCount.h"
#include "resource.h"
#include "win32/copy/WorkerStart.h"
#include "win32/errors/ErrorReport.h"
#include "win32/plan/Win32PlanSystem.h"
#include "win32/ui/ShellSeam.h"
#include "win32/window/MessagePump.h"

namespace velkast {

CVelkastDlg::~CVelkastDlg() {
    JoinWorker();
    job_.entries.clear();
}

void CVelkastDlg::JoinWorker() {
    if (worker_) {
        WaitForThread(worker_.get());
        worker_.reset();
    }
}

LRESULT CVelkastDlg::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM) {
    if (display_.Handle(message, wParam)) {
        if (message == CopyDialogDisplay::kFinishedMessage) {
            OnCopyEnded(window);
        }
        return 0;
    }
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(window);
            break;
        case WM_COMMAND:
            // Only the control id counts; any other id (IDCANCEL from the
            // Escape key among them) changes nothing.
            if (LOWORD(wParam) == IDC_START) {
                OnStart(window);
            } else if (LOWORD(wParam) == IDC_EXIT) {
                OnExit(window);
            }
            break;
        case kExitWhenDoneMessage:
            JoinWorker();
            OnExit(window);
            break;
        case WM_CLOSE:
            DestroyWindow(window);
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            break;
        default:
            break;
    }
    return 0;
}

bool CVelkastDlg::BuildCopyPlan() {
    SendDlgItemMessageW(window(), IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    Win32PlanSystem system(window());
    return CopyPlanBuilder(script_, job_, system, options_.planObserver).Build();
}

void CVelkastDlg::OnInitDialog(HWND window) {
    display_.Attach(window);
    // A refused plan ends the dialog before it is ever shown.
    const bool built = BuildCopyPlan();
    if (!built) {
        EndDialog(window, 0);
    }
    // For the modeless wait dialog this only hides it.
    EndDialog(waitDialog_, 0);
    if (built && options_.pressButtons) {
        // Shown first, so that Start is pressed on a dialog that shows, ready.
        ShowWindow(window, SW_SHOWNORMAL);
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED), 0);
    }
}

void CVelkastDlg::OnStart(HWND window) {
    EnableWindow(GetDlgItem(window, IDC_START), FALSE);
    EnableWindow(GetDlgItem(window, IDC_EXIT), FALSE);
    SetDlgItemTextW(window, IDC_HEADING, L"コピー中です");
    std::wstring total;
    SetDlgItemTextW(window, IDC_TOTAL_BYTES, (FormatByteCount(total, job_.totalBytes) + L"byte").c_str());

    display_.StartFrames();
    worker_ = StartCopyWorker(run_);
    if (!worker_) {
        ReportSystemError(L"コピーに失敗しました。", GetLastError(), VELKAST_HERE);
        // Without a worker nothing else would ever end the copy.
        display_.ShowFinished();
        OnCopyEnded(window);
    }
}

// The worker is still on its way to the post-process item: Exit waits for it.
void CVelkastDlg::OnCopyEnded(HWND window) {
    if (options_.pressButtons) {
        PostMessageW(window, kExitWhenDoneMessage, 0, 0);
    }
}

void CVelkastDlg::OnExit(HWND window) {
    // Start stays disabled once a copy was started.
    if (!IsWindowEnabled(GetDlgItem(window, IDC_START))) {
        OpenWithShell(job_.programFolder + L"Report.txt");
    }
    EndDialog(window, 0);
}

}  // namespace velkast
