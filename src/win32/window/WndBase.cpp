#include "win32/window/WndBase.h"

namespace velkast {
namespace {

// The window property that holds the address of the bound object.
constexpr wchar_t kObjectProperty[] = L"__WND_BASE_CLASS__";

// The dialog manager keeps a dialog's procedure in DWLP_DLGPROC; a window
// that is no dialog reads 0 there.
bool HasDialogProcedure(HWND window) {
    return GetWindowLongPtrW(window, DWLP_DLGPROC) != 0;
}

int ProcedureSlot(bool isDialog) {
    return isDialog ? DWLP_DLGPROC : GWLP_WNDPROC;
}

// The answer for a message that no object handles.
LRESULT UnboundDefault(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (HasDialogProcedure(window)) {
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The object that a creation message carries: the creation parameter of
// CreateWindowExW, or the initialization parameter of a dialog. Null for any
// other message.
CWndBase* CarriedObject(UINT message, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
        case WM_CREATE: {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            return create != nullptr ? static_cast<CWndBase*>(create->lpCreateParams) : nullptr;
        }
        case WM_INITDIALOG:
            return reinterpret_cast<CWndBase*>(lParam);
        default:
            return nullptr;
    }
}

}  // namespace

CWndBase::~CWndBase() {
    window_ = nullptr;
    isDialog_ = false;
    previousProcedure_ = nullptr;
}

LRESULT CWndBase::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (previousProcedure_ != nullptr) {
        return CallWindowProcW(previousProcedure_, window, message, wParam, lParam);
    }
    if (isDialog_) {
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void CWndBase::Bind(HWND window) {
    window_ = window;
    isDialog_ = HasDialogProcedure(window);
    SetPropW(window, kObjectProperty, this);

    // A window of a class of its own, or a dialog whose procedure is another,
    // is subclassed so that its later messages come here first.
    const int slot = ProcedureSlot(isDialog_);
    const LONG_PTR held = GetWindowLongPtrW(window, slot);
    const auto base = reinterpret_cast<LONG_PTR>(&BaseWndProc);
    previousProcedure_ = nullptr;
    if (held != base) {
        SetWindowLongPtrW(window, slot, base);
        previousProcedure_ = reinterpret_cast<WNDPROC>(held);
    }
}

void CWndBase::Unbind() {
    if (previousProcedure_ != nullptr) {
        SetWindowLongPtrW(window_, ProcedureSlot(isDialog_), reinterpret_cast<LONG_PTR>(previousProcedure_));
    }
    RemovePropW(window_, kObjectProperty);
}

LRESULT CALLBACK BaseWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWndBase* object = nullptr;
    LRESULT result = 0;
    try {
        object = static_cast<CWndBase*>(GetPropW(window, kObjectProperty));
        if (object == nullptr) {
            object = CarriedObject(message, lParam);
            if (object == nullptr) {
                return UnboundDefault(window, message, wParam, lParam);
            }
            object->Bind(window);
        }
        result = object->OnMessage(window, message, wParam, lParam);
    } catch (...) {
        // An exception must not unwind through the system's frames.
        result = UnboundDefault(window, message, wParam, lParam);
    }

    // Even when its handler threw, a window that is being destroyed lets go
    // of its object, so that no later message reaches it.
    if (message == WM_DESTROY && object != nullptr && object->window_ != nullptr) {
        object->Unbind();
    }
    return result;
}

}  // namespace velkast
