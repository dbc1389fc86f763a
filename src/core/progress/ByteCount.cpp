#include "core/progress/ByteCount.h"

namespace velkast {

std::wstring& FormatByteCount(std::wstring& text, std::uint64_t count) {
    const std::wstring digits = std::to_wstring(count);
    text.clear();
    for (std::size_t i = 0; i < digits.size(); ++i) {
        text += digits[i];
        const std::size_t remaining = digits.size() - i - 1;
        if (remaining != 0 && remaining % 3 == 0) {
            text += L',';
        }
    }
    return text;
}

}  // namespace velkast
