#include "win32/ui/MessageBoxSeam.h"

namespace velkast {

Seam<MessageBoxHandler*> messageBoxSeam{nullptr};

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
    if (MessageBoxHandler* handler = messageBoxSeam.get()) {
        return handler->Show(owner, text, caption, style);
    }
    return MessageBoxW(owner, text, caption, style);
}

}  // namespace velkast
