#include "core/plan/ScriptNumber.h"

#include <limits>

namespace velkast {
namespace {

// Where the parts of a script number stand in its text.
struct NumberText {
    bool negative = false;
    std::size_t digits = 0;  // where the digits begin
    std::size_t end = 0;     // just past the last digit
};

NumberText Scan(const std::wstring& text) {
    NumberText number;
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r'))) {
        ++i;
    }
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        number.negative = text[i] == L'-';
        ++i;
    }
    number.digits = i;
    while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') {
        ++i;
    }
    number.end = i;
    return number;
}

}  // namespace

std::int32_t ParseScriptNumber(const std::wstring& text) {
    const NumberText number = Scan(text);
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    std::int64_t value = 0;
    for (std::size_t i = number.digits; i < number.end; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > kMax + 1) {
            value = kMax + 1;
        }
    }
    value = number.negative ? -value : value;
    if (value > kMax) {
        return static_cast<std::int32_t>(kMax);
    }
    if (value < kMin) {
        return static_cast<std::int32_t>(kMin);
    }
    return static_cast<std::int32_t>(value);
}

std::size_t ScriptNumberLength(const std::wstring& text) {
    const NumberText number = Scan(text);
    return number.end == number.digits ? 0 : number.end;
}

}  // namespace velkast
