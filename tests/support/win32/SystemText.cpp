#include "support/win32/SystemText.h"

#include "win32/platform/Owners.h"

namespace velkast::testing {

std::wstring SystemText(DWORD code) {
    LocalBuffer text;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(text.put()), 0, nullptr);
    return text ? std::wstring(text.get()) : std::wstring();
}

}  // namespace velkast::testing
