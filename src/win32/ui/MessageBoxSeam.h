#pragma once
// Every message box of the program goes through ShowMessageBox, so that tests
// can answer the boxes instead of a user (a real box would wait forever).

#include <windows.h>

namespace velkast {

// Called in place of MessageBoxW with the same arguments; the caption may be
// null, as it may be for MessageBoxW. Returns what the box would: IDOK, IDYES, ...
using MessageBoxHandler =
    int (*)(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style, void* context);

// Shows the box with MessageBoxW, or hands it to the installed handler, from
// whichever thread it is called. Returns when the box has been dismissed.
int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style);

// While it lives, every box goes to the handler, with the context as its last
// argument; the handler installed before comes back when it ends. A null
// handler brings back the real boxes for the scope's life. Scopes nest
// and end in the reverse order of their making. A scope must outlive the boxes
// that other threads show during its life.
class MessageBoxHandlerScope {
public:
    MessageBoxHandlerScope(MessageBoxHandler handler, void* context);
    ~MessageBoxHandlerScope();
    MessageBoxHandlerScope(const MessageBoxHandlerScope&) = delete;
    MessageBoxHandlerScope& operator=(const MessageBoxHandlerScope&) = delete;

private:
    MessageBoxHandler handler_;
    void* context_;
    const MessageBoxHandlerScope* previous_;

    friend int ShowMessageBox(HWND, const wchar_t*, const wchar_t*, UINT);
};

}  // namespace velkast
