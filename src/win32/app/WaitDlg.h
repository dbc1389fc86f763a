#pragma once
// The wait dialog (resource 109), shown while the copy is being prepared. The
// program creates it modeless with CreateDialogParamW and BaseWndProc, the
// object as the initialization parameter; it is visible from creation.

#include <windows.h>

#include "win32/window/DlgBase.h"

namespace velkast {

class CWaitDlg : public CDlgBase {
public:
    // WM_CLOSE destroys the dialog; its WM_DESTROY ends the thread's message
    // loop (WM_QUIT, exit code 0). Every message is answered 0 without the
    // default handling, so the dialog manager's own processing applies.
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace velkast
