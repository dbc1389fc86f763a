#include "core/paths/PathText.h"

#include <gtest/gtest.h>

#include <string>

namespace velkast {
namespace {

TEST(CopyPathText, CopiesAtMost259Characters) {
    struct Case {
        std::wstring source;
        std::int32_t result;
        std::size_t kept;
    };
    const Case cases[] = {
        {L"", kPathCopied, 0},
        {L"C:\\App\\", kPathCopied, 7},
        {std::wstring(259, L'x'), kPathCopied, 259},
        {std::wstring(260, L'y'), kPathCut, 259},
        {std::wstring(300, L'z'), kPathCut, 259},
    };
    for (const auto& c : cases) {
        PathBuffer buffer;
        std::fill(std::begin(buffer), std::end(buffer), L'#');
        EXPECT_EQ(CopyPathText(buffer, c.source.c_str()), c.result);
        EXPECT_EQ(std::wstring(buffer), c.source.substr(0, c.kept));
    }
    PathBuffer buffer = L"old";
    EXPECT_EQ(CopyPathText(buffer, nullptr), kPathCopied);
    EXPECT_STREQ(buffer, L"");
}

TEST(AddBackslash, AddsOneWhereItFits) {
    const std::wstring x258(258, L'x');
    const std::wstring x259(259, L'x');
    struct Case {
        std::wstring path;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"", L""},
        {L"C:\\App", L"C:\\App\\"},
        {L"C:\\App\\", L"C:\\App\\"},
        {L"C:/App", L"C:/App\\"},
        {L"C:/App/", L"C:/App/\\"},
        {L"C:", L"C:\\"},
        {x258, x258 + L"\\"},
        {x259, x259},  // no room for the backslash and the NUL
        {x258 + L"\\", x258 + L"\\"},
        {std::wstring(L"ab\0cd", 5), L"ab\\"},  // the text ends at its first NUL
    };
    for (const auto& c : cases) {
        std::wstring path = c.path;
        AddBackslash(path);
        EXPECT_EQ(path, c.expected) << "length " << c.path.size();
    }
}

TEST(ToBackslashes, TurnsEverySlash) {
    std::wstring path = L"C:/a//b\\c/";
    ToBackslashes(path);
    EXPECT_EQ(path, L"C:\\a\\\\b\\c\\");
}

TEST(CollapseBackslashes, PairsBecomeOneWithoutRescanning) {
    struct Case {
        std::wstring path;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"a\\b", L"a\\b"},
        {L"a\\\\b", L"a\\b"},
        {L"a\\\\\\b", L"a\\\\b"},    // three become two
        {L"a\\\\\\\\b", L"a\\\\b"},  // four become two
        {L"C:\\\\App\\\\", L"C:\\App\\"},
        {L"\\\\server\\share\\\\dir\\", L"\\\\server\\share\\dir\\"},  // a network path keeps its start
        {L"\\\\\\x", L"\\\\x"},  // three at the start are no network path
        {L"\\\\", L"\\"},
        {L"", L""},
    };
    for (const auto& c : cases) {
        std::wstring path = c.path;
        CollapseBackslashes(path);
        EXPECT_EQ(path, c.expected);
    }
}

}  // namespace
}  // namespace velkast
