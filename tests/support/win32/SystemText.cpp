#include "support/win32/SystemText.h"

namespace velkast::testing {

std::wstring SystemText(DWORD code) {
    wchar_t* text = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring result = text == nullptr ? L"" : text;
    LocalFree(text);
    return result;
}

}  // namespace velkast::testing
