#include <windows.h>
#include <shellapi.h>

#include "win32/ui/ShellSeam.h"

#include <atomic>

namespace velkast {
namespace {
std::atomic<const ShellOpenHandlerScope*> g_scope{nullptr};
}

void OpenWithShell(const std::wstring& path) {
    if (const ShellOpenHandlerScope* scope = g_scope.load()) {
        scope->handler_(path, scope->context_);
        return;
    }
    ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

ShellOpenHandlerScope::ShellOpenHandlerScope(ShellOpenHandler handler, void* context)
    : handler_(handler), context_(context), previous_(g_scope.exchange(this)) {}

ShellOpenHandlerScope::~ShellOpenHandlerScope() {
    g_scope.store(previous_);
}

}  // namespace velkast
