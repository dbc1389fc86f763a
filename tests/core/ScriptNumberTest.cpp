#include "core/plan/ScriptNumber.h"

#include <gtest/gtest.h>

namespace velkast {
namespace {

TEST(ParseScriptNumber, LeadingDigitsWithSign) {
    struct Case {
        std::wstring text;
        std::int32_t value;
    };
    const Case cases[] = {
        {L"1", 1},
        {L"  2", 2},
        {L"+3", 3},
        {L"-4", -4},
        {L"12abc", 12},
        {L"abc", 0},
        {L"", 0},
        {L"None", 0},
        {L"- 5", 0},
        {L"0x10", 0},
        {L"257", 257},
        {L"\t\v 9", 9},
        {L"2147483647", 2147483647},
        {L"99999999999", 2147483647},
        {L"-99999999999", -2147483647 - 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseScriptNumber(c.text), c.value) << c.text.size();
    }
}

}  // namespace
}  // namespace velkast
