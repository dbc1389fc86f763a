#include "tools/check/Utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace velkast::check {
namespace {

TEST(Utf8, RoundTrip) {
    const std::wstring text = L"ビューア \"x\" \\ é";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(ToUtf8(L"ア"), "\xE3\x82\xA2");
}

// Each byte of a sequence that is not well-formed becomes U+FFFD.
TEST(Utf8, IllFormedBytesBecomeReplacements) {
    const struct {
        std::string bytes;
        std::size_t firstLength;  // of the sequence at the start; 0 when ill-formed
        std::wstring text;
    } cases[] = {
        {"a\xFF", 1, L"a\xFFFD"},
        {"\xC0\x80", 0, L"\xFFFD\xFFFD"},                  // overlong
        {"\xED\xA0\x80", 0, L"\xFFFD\xFFFD\xFFFD"},        // a surrogate
        {"\xF4\x90\x80\x80", 0, std::wstring(4, 0xFFFD)},  // past U+10FFFF
        {"\xE3\x82", 0, L"\xFFFD\xFFFD"},                  // cut short
        {"\xE3\x82\xA2", 3, L"ア"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8SequenceLength(c.bytes, 0), c.firstLength) << c.bytes;
        EXPECT_EQ(FromUtf8(c.bytes), c.text) << c.bytes;
    }
    EXPECT_EQ(FromUtf8("a\xFF"
                       "b"),
              L"a\xFFFD"
              L"b");
    EXPECT_EQ(ToUtf8(FromUtf8("\xF0\x9F\x98\x80")), "\xF0\x9F\x98\x80");
}

}  // namespace
}  // namespace velkast::check
