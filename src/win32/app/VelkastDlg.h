#pragma once
// The copy dialog (resource 108), the program's only interactive window: it
// builds the copy plan while it initialises, starts the copy worker at Start
// and ends at Exit, opening the report file once a copy was started. It owns
// the worker's thread and waits for it before it goes.

#include <windows.h>

#include "core/job/CopyJob.h"
#include "core/plan/PlanObserver.h"
#include "core/text/TextLine.h"
#include "win32/app/CopyDialogDisplay.h"
#include "win32/copy/CopyWorker.h"
#include "win32/copy/TeeDisplay.h"
#include "win32/platform/Owners.h"
#include "win32/window/DlgBase.h"

namespace velkast {

// What a run with a log, or without a person, adds to the copy dialog; the
// interactive run leaves it empty.
struct CopyDialogOptions {
    PlanObserver* planObserver = nullptr;  // hears the plan builder
    CopyDisplay* copyFollower = nullptr;   // hears what the worker reports, after the dialog
    // Start is pressed once the dialog shows, ready; Exit once the worker
    // has ended (after the post-process item was opened).
    bool pressButtons = false;
};

class CVelkastDlg : public CDlgBase {
public:
    // The script's current line is the launch line; the plan goes into the
    // job. The wait dialog is hidden once the plan is built.
    CVelkastDlg(CTextLine& script, CopyJob& job, HWND waitDialog, const CopyDialogOptions& options = {})
        : script_(script),
          job_(job),
          waitDialog_(waitDialog),
          options_(options),
          display_(job),
          tee_(display_, options.copyFollower),
          run_{job, tee_} {}
    // Waits for the copy worker, then empties the copy plan and lets the window go.
    ~CVelkastDlg() override;

    // Answers 0 to every message; the dialog manager does the rest.
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Sets the progress bar's range to 0..100 and reads the script into the
    // copy plan. False when the plan was refused; the user has been told why
    // (save for a tab-led line).
    bool BuildCopyPlan();

    // Whether Start has started a copy worker.
    bool workerStarted() const { return static_cast<bool>(worker_); }
    // Waits until the copy worker, if any, has ended, pumping this thread's
    // messages meanwhile: the worker has the dialog draw and waits for it.
    void JoinWorker();

    // Posted when the buttons are pressed by the program: the copy has ended,
    // Exit follows once the worker has.
    static constexpr UINT kExitWhenDoneMessage = WM_APP + 3;

private:
    void OnInitDialog(HWND window);
    void OnStart(HWND window);
    void OnExit(HWND window);
    void OnCopyEnded(HWND window);

    CTextLine& script_;
    CopyJob& job_;
    HWND waitDialog_;
    CopyDialogOptions options_;
    CopyDialogDisplay display_;
    TeeDisplay tee_;
    CopyRun run_;
    UniqueHandle worker_;
};

}  // namespace velkast
