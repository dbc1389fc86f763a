#pragma once
// Every window and dialog of the program is driven through one window
// procedure, BaseWndProc, which hands each message to the C++ object bound to
// the window. The object's address travels with the message that creates the
// window: the creation parameter of CreateWindowExW (WM_NCCREATE, WM_CREATE)
// or the initialization parameter of CreateDialogParamW (WM_INITDIALOG). From
// then until WM_DESTROY a window property holds it.

#include <windows.h>

namespace velkast {

// Serves as a window class's procedure and as a dialog procedure alike: on
// 64-bit Windows LRESULT and INT_PTR are the same type. Messages that arrive
// before an object is bound, and after WM_DESTROY, get the answer of a window
// that has none: 0 from a dialog procedure, so that the dialog manager's own
// processing applies, and DefWindowProcW's from a window procedure. When the
// window's procedure slot (DWLP_DLGPROC for a dialog, GWLP_WNDPROC for any
// other window) holds another procedure at binding, BaseWndProc takes its
// place and puts it back at WM_DESTROY. No exception leaves it: a message
// whose handler throws gets the answer of a window without an object.
LRESULT CALLBACK BaseWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class CWndBase {
public:
    CWndBase() = default;
    // Forgets the window without touching it: a window still alive keeps its
    // property and its procedure.
    virtual ~CWndBase();
    CWndBase(const CWndBase&) = delete;
    CWndBase& operator=(const CWndBase&) = delete;

    // Handles one message of the bound window. This default handling passes
    // it to the procedure that BaseWndProc replaced at binding and answers
    // what that answers; without one, it answers 0 for a dialog and
    // DefWindowProcW's answer for a window.
    virtual LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // The bound window; null until binding. The value stays after WM_DESTROY.
    HWND window() const { return window_; }
    // Whether the window had a dialog procedure (DWLP_DLGPROC not 0) at binding.
    bool isDialog() const { return isDialog_; }
    // The window or dialog procedure that BaseWndProc replaced at binding;
    // null when BaseWndProc was the procedure already.
    WNDPROC previousProcedure() const { return previousProcedure_; }

private:
    void Bind(HWND window);
    void Unbind();

    HWND window_ = nullptr;
    bool isDialog_ = false;
    WNDPROC previousProcedure_ = nullptr;

    friend LRESULT CALLBACK BaseWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace velkast
