#include "core/paths/Token.h"

namespace velkast {

std::wstring NextToken(const std::wstring& text, const wchar_t* delimiters, std::int32_t& position) {
    const std::wstring set = delimiters == nullptr ? std::wstring() : std::wstring(delimiters);
    if (position >= 0 && static_cast<std::size_t>(position) < text.size()) {
        const std::size_t begin = text.find_first_not_of(set, static_cast<std::size_t>(position));
        if (begin != std::wstring::npos) {
            const std::size_t end = text.find_first_of(set, begin);
            if (end == std::wstring::npos) {
                position = static_cast<std::int32_t>(text.size() + 1);
                return text.substr(begin);
            }
            position = static_cast<std::int32_t>(end + 1);
            return text.substr(begin, end - begin);
        }
    }
    position = -1;
    return std::wstring();
}

std::vector<std::wstring> Tokens(const std::wstring& text, const wchar_t* delimiters) {
    std::vector<std::wstring> tokens;
    std::int32_t position = 0;
    for (std::wstring token = NextToken(text, delimiters, position); position != -1;
         token = NextToken(text, delimiters, position)) {
        tokens.push_back(std::move(token));
    }
    return tokens;
}

}  // namespace velkast
