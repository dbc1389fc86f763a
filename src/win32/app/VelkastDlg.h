#pragma once
// The copy dialog (resource 108). For now it holds what building the copy
// plan needs: its window and the job.

#include <windows.h>

#include "core/job/CopyJob.h"

namespace velkast {

class CVelkastDlg {
public:
    explicit CVelkastDlg(CopyJob& job) : paths_(job), job_(job) {}
    virtual ~CVelkastDlg() = default;

    void AttachWindow(HWND window) { window_ = window; }

    // Records the dialog in the job, sets the progress bar's range to 0..100
    // and reads the script into the copy plan. False when the plan was
    // refused; the user has been told why (save for a tab-led line).
    bool BuildCopyPlan();

    HANDLE workerThread = nullptr;

private:
    HWND window_ = nullptr;
    CopyJob& paths_;
    CopyJob& job_;
};

}  // namespace velkast
