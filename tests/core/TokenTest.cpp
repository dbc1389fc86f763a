#include "core/paths/Token.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velkast {
namespace {

// Every token until the position comes back as -1, which is recorded as "|".
std::vector<std::wstring> AllTokens(const std::wstring& text, const wchar_t* delimiters) {
    std::vector<std::wstring> tokens;
    std::int32_t position = 0;
    for (int guard = 0; guard < 100; ++guard) {
        std::wstring token = NextToken(text, delimiters, position);
        if (position == -1) {
            EXPECT_TRUE(token.empty());
            tokens.push_back(L"|");
            break;
        }
        EXPECT_FALSE(token.empty());
        tokens.push_back(token);
    }
    return tokens;
}

TEST(NextToken, RunsOfDelimitersCountAsOne) {
    struct Case {
        std::wstring text;
        const wchar_t* delimiters;
        std::vector<std::wstring> tokens;
    };
    const Case cases[] = {
        {L"a,,b", L",", {L"a", L"b", L"|"}},
        {L",a", L",", {L"a", L"|"}},
        {L"a,", L",", {L"a", L"|"}},
        {L"", L",", {L"|"}},
        {L",,,", L",", {L"|"}},
        {L"1,viewer.exe,data\\main.dat,lang", L",", {L"1", L"viewer.exe", L"data\\main.dat", L"lang", L"|"}},
        {L"[Guide]readme.txt", L"]", {L"[Guide", L"readme.txt", L"|"}},
        {L"[a]]b", L"]", {L"[a", L"b", L"|"}},
        {L"[a]b]c", L"]", {L"[a", L"b", L"c", L"|"}},
        {L"]b", L"]", {L"b", L"|"}},
        {L"a b", L"", {L"a b", L"|"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AllTokens(c.text, c.delimiters), c.tokens);
        const std::vector<std::wstring> all(c.tokens.begin(), c.tokens.end() - 1);
        EXPECT_EQ(Tokens(c.text, c.delimiters), all);
    }
}

TEST(NextToken, PositionMovesJustPastTheDelimiter) {
    std::int32_t position = 0;
    EXPECT_EQ(NextToken(L"[a]b]c", L"]", position), L"[a");
    EXPECT_EQ(position, 3);
    EXPECT_EQ(NextToken(L"[a]b]c", L"]", position), L"b");
    EXPECT_EQ(position, 5);
    EXPECT_EQ(NextToken(L"[a]b]c", L"]", position), L"c");
    EXPECT_EQ(position, 7);
}

TEST(NextToken, PositionOutsideTheTextEnds) {
    for (std::int32_t start : {-1, -5, 4, 100}) {
        std::int32_t position = start;
        EXPECT_EQ(NextToken(L"a,b", L",", position), L"");
        EXPECT_EQ(position, -1);
    }
}

}  // namespace
}  // namespace velkast
