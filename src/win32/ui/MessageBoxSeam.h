#pragma once
// Every message box of the program goes through ShowMessageBox, so that tests
// can answer the boxes instead of a user (a real box would wait forever).

#include <windows.h>

#include "core/base/Seam.h"

namespace velkast {

// Takes the boxes in place of MessageBoxW, with the same arguments (the
// caption may be null, as for MessageBoxW), and answers what the box would:
// IDOK, IDYES, ... It is called on whichever thread shows the box.
class MessageBoxHandler {
public:
    virtual int Show(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) = 0;

protected:
    ~MessageBoxHandler() = default;
};

// Null: the real boxes.
extern Seam<MessageBoxHandler*> messageBoxSeam;

// Shows the box with MessageBoxW, or hands it to the handler in the seam.
// Returns when the box has been dismissed.
int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style);

}  // namespace velkast
