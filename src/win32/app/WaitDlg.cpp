#include "win32/app/WaitDlg.h"

namespace velkast {

LRESULT CWaitDlg::OnMessage(HWND /*window*/, UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/) {
    switch (message) {
        case WM_CLOSE:
            DestroyWindow(window());
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return 0;
    }
}

}  // namespace velkast
