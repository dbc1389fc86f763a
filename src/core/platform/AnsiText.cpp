#include "core/platform/AnsiText.h"

#include "core/platform/Platform.h"

namespace velkast {

std::wstring WidenAnsi(const char* text) {
    if (text == nullptr) {
        return std::wstring();
    }
    const int needed = platform::AnsiToWide(platform::AnsiPage::Thread, text, -1, nullptr, 0);
    if (needed <= 1) {
        return std::wstring();
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    const int written = platform::AnsiToWide(platform::AnsiPage::Thread, text, -1, wide.data(), needed);
    wide.resize(written > 0 ? static_cast<std::size_t>(written - 1) : 0);
    return wide;
}

}  // namespace velkast
