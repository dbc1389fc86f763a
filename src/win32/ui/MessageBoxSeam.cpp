#include "win32/ui/MessageBoxSeam.h"

#include <atomic>

namespace velkast {
namespace {
// The scope in force. A box shown from a worker thread reads it as well.
std::atomic<const MessageBoxHandlerScope*> g_scope{nullptr};
}  // namespace

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
    const MessageBoxHandlerScope* scope = g_scope.load();
    if (scope != nullptr && scope->handler_ != nullptr) {
        return scope->handler_(owner, text, caption, style, scope->context_);
    }
    return MessageBoxW(owner, text, caption, style);
}

MessageBoxHandlerScope::MessageBoxHandlerScope(MessageBoxHandler handler, void* context)
    : handler_(handler), context_(context), previous_(nullptr) {
    previous_ = g_scope.exchange(this);
}

MessageBoxHandlerScope::~MessageBoxHandlerScope() {
    g_scope.store(previous_);
}

}  // namespace velkast
