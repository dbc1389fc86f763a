#include "win32/log/BoxLog.h"

#include <string>

namespace velkast {

int BoxLog::Show(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
    const std::wstring heading =
        caption == nullptr ? std::wstring(L"box without caption") : L"box \"" + std::wstring(caption) + L"\"";
    log_.Write(heading + (show_ ? L": " : L", not shown: ") + (text == nullptr ? L"" : text));
    if (!show_) {
        // Every box of the program has OK alone.
        return IDOK;
    }
    return previous_ != nullptr ? previous_->Show(owner, text, caption, style)
                                : MessageBoxW(owner, text, caption, style);
}

}  // namespace velkast
