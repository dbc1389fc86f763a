#pragma once
// The copy dialog (resource 108), the program's only interactive window: it
// builds the copy plan while it initialises, starts the copy worker at Start
// and ends at Exit, opening the report file once a copy was started.

#include <windows.h>

#include "core/job/CopyJob.h"
#include "win32/window/DlgBase.h"

namespace velkast {

class CVelkastDlg : public CDlgBase {
public:
    explicit CVelkastDlg(CopyJob& job) : paths_(job), job_(job) {}
    // Empties the copy plan, then lets the window go.
    ~CVelkastDlg() override;

    // Answers 0 to every message; the dialog manager does the rest.
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Records the dialog in the job, sets the progress bar's range to 0..100
    // and reads the script into the copy plan. False when the plan was
    // refused; the user has been told why (save for a tab-led line).
    bool BuildCopyPlan();

    // The copy worker's thread, null until Start; start-up closes it.
    HANDLE workerThread = nullptr;

private:
    void OnInitDialog(HWND window);
    void OnStart(HWND window);
    void OnExit(HWND window);

    CopyJob& paths_;  // the program folder, for the report file
    CopyJob& job_;    // everything else
};

}  // namespace velkast
