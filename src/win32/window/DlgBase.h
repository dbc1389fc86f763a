#pragma once
// The base of the program's dialogs: an object that owns its window.

#include <windows.h>

#include "win32/window/WndBase.h"

namespace velkast {

class CDlgBase : public CWndBase {
public:
    CDlgBase() = default;
    // Destroys the window if it still exists. By then the derived classes'
    // parts are gone, so the messages of the destruction (WM_DESTROY, ...)
    // get the default handling, not the derived handlers.
    ~CDlgBase() override;
};

}  // namespace velkast
