#include "win32/app/VelkastDlg.h"

#include <commctrl.h>

#include <string>

#include "core/plan/CopyPlanBuilder.h"
#include "core/progress/ByteCount.h"
#include "resources/resource.h"
#include "win32/copy/WorkerStart.h"
#include "win32/errors/ErrorReport.h"
#include "win32/plan/Win32PlanSystem.h"
#include "win32/ui/ShellSeam.h"

namespace velkast {

CVelkastDlg::~CVelkastDlg() {
    job_.entries.clear();
}

LRESULT CVelkastDlg::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM) {
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
    job_.copyDialog = window();
    SendDlgItemMessageW(window(), IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    Win32PlanSystem system(window());
    return CopyPlanBuilder(job_, system).Build();
}

void CVelkastDlg::OnInitDialog(HWND window) {
    // A refused plan ends the dialog before it is ever shown.
    if (!BuildCopyPlan()) {
        EndDialog(window, 0);
    }
    // For the modeless wait dialog this only hides it.
    EndDialog(job_.waitDialog, 0);
}

void CVelkastDlg::OnStart(HWND window) {
    EnableWindow(GetDlgItem(window, IDC_START), FALSE);
    EnableWindow(GetDlgItem(window, IDC_EXIT), FALSE);
    SetDlgItemTextW(window, IDC_HEADING, L"コピー中です");
    std::wstring total;
    SetDlgItemTextW(window, IDC_TOTAL_BYTES, (FormatByteCount(total, job_.totalBytes) + L"byte").c_str());

    workerThread = StartCopyWorker(job_);
    if (workerThread == nullptr) {
        // Without a worker nothing would ever enable Exit again.
        ReportSystemError(L"コピーに失敗しました。", GetLastError(), VELKAST_HERE);
        EnableWindow(GetDlgItem(window, IDC_EXIT), TRUE);
    }
}

void CVelkastDlg::OnExit(HWND window) {
    // Start stays disabled once a copy was started.
    if (!IsWindowEnabled(GetDlgItem(window, IDC_START))) {
        OpenWithShell(paths_.programFolder + L"Report.txt");
    }
    EndDialog(window, 0);
}

}  // namespace velkast
