#include "core/paths/ProgramFile.h"

namespace velkast {

bool IsProgramFile(const std::wstring& path) {
    const std::size_t dot = path.find_last_of(L'.');
    if (dot == std::wstring::npos || path.find_first_of(L"\\/", dot) != std::wstring::npos) {
        return false;
    }
    std::wstring extension;
    for (std::size_t i = dot + 1; i < path.size(); ++i) {
        const wchar_t c = path[i];
        extension += c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    }
    return extension == L"exe" || extension == L"com" || extension == L"bat" || extension == L"cmd";
}

}  // namespace velkast
