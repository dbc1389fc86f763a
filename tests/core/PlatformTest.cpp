#include "core/platform/Platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/platform/DebugOutput.h"
#include "core/platform/HeapBlock.h"

namespace velkast {
namespace {

using platform::AnsiPage;

TEST(PrivateHeap, BlocksAreZeroFilledAndEmptyRequestsYieldNone) {
    EXPECT_EQ(platform::HeapAllocZeroed(0), nullptr);
    HeapBlock empty(0);
    EXPECT_FALSE(empty);

    HeapBlock block(4096);
    ASSERT_TRUE(block);
    const auto* bytes = block.as<unsigned char>();
    for (std::size_t i = 0; i < 4096; ++i) {
        ASSERT_EQ(bytes[i], 0) << "at " << i;
    }
    HeapBlock moved(std::move(block));
    EXPECT_FALSE(block);
    EXPECT_TRUE(moved);
    platform::HeapRelease(nullptr);
}

TEST(PrivateHeap, RequestThatCannotBeMetYieldsNone) {
    EXPECT_EQ(platform::HeapAllocZeroed(~std::size_t{0} / 2), nullptr);
}

TEST(CodePage, AnsiIsShiftJis) {
    const char sjis[] = "\x93\xFA\x96\x7B\x8C\xEA-\x83\x5C";  // 日本語-ソ
    wchar_t wide[16] = {};
    const int needed = platform::AnsiToWide(AnsiPage::System, sjis, -1, nullptr, 0);
    EXPECT_EQ(needed, 6);
    EXPECT_EQ(platform::AnsiToWide(AnsiPage::System, sjis, -1, wide, 16), 6);
    EXPECT_STREQ(wide, L"日本語-ソ");

    char back[16] = {};
    EXPECT_EQ(platform::WideToAnsi(AnsiPage::Thread, wide, -1, nullptr, 0), 10);
    EXPECT_EQ(platform::WideToAnsi(AnsiPage::Thread, wide, -1, back, 16), 10);
    EXPECT_STREQ(back, sjis);
    // Too small a destination fails rather than cutting.
    EXPECT_EQ(platform::WideToAnsi(AnsiPage::System, wide, -1, back, 4), 0);
}

// Both builds give these answers: the system's tables under Windows and Wine,
// the host's from iconv. (They differ where neither the script nor a path
// can lead: a lead byte before a byte that cannot follow it, and the bytes
// 0x80, 0xA0 and 0xFD to 0xFF.)
TEST(CodePage, DecodesEdgesAndExtensions) {
    struct Case {
        const char* what;
        std::string bytes;
        std::wstring wide;
    };
    const Case cases[] = {
        {"a lead byte that ends the text", std::string("a\x81", 2), L"a\x30FB"},
        {"a lead byte before a NUL keeps the NUL", std::string("\x81\0a", 3), std::wstring(L"\x30FB\0a", 3)},
        {"the user-defined area", "\xF0\x40\xF9\xFC", L"\xE000\xE757"},
        {"NEC and IBM extensions", "\x87\x40\xFA\x40\xED\x40", L"\x2460\x2170\x7E8A"},
        {"yen and overline bytes, full-width, half-width", "\x5C\x7E\x81\x5F\x81\x60\xB1",
         L"\\~\xFF3C\xFF5E\xFF71"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int count = static_cast<int>(c.bytes.size());
        ASSERT_EQ(platform::AnsiToWide(AnsiPage::System, c.bytes.data(), count, nullptr, 0),
                  static_cast<int>(c.wide.size()));
        std::wstring wide(c.wide.size(), L'*');
        ASSERT_EQ(platform::AnsiToWide(AnsiPage::System, c.bytes.data(), count, wide.data(), count),
                  static_cast<int>(c.wide.size()));
        EXPECT_EQ(wide, c.wide);
    }
}

TEST(CodePage, EncodesExtensionsAndUnmappedCharacters) {
    struct Case {
        const char* what;
        std::wstring wide;
        std::string bytes;
    };
    const Case cases[] = {
        {"the user-defined area", L"\xE000\xE757", "\xF0\x40\xF9\xFC"},
        // U+7E8A has a code in both extensions; the IBM one ends in 0x5C.
        {"NEC and IBM extensions", L"\x2460\x2170\x7E8A", "\x87\x40\xFA\x40\xFA\x5C"},
        {"characters that share a code", L"\xFF5E\x2225\xFFE2\x00AC", "\x81\x60\x81\x61\x81\xCA\x81\xCA"},
        {"the yen sign is the backslash byte", L"\x00A5", "\x5C"},
        {"one '?' for each character without a code", L"\x4E02\x0100\xAC00\x0E01", "????"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int count = static_cast<int>(c.wide.size());
        ASSERT_EQ(platform::WideToAnsi(AnsiPage::Thread, c.wide.data(), count, nullptr, 0),
                  static_cast<int>(c.bytes.size()));
        std::string bytes(c.bytes.size(), '*');
        ASSERT_EQ(platform::WideToAnsi(AnsiPage::Thread, c.wide.data(), count, bytes.data(),
                                       static_cast<int>(bytes.size())),
                  static_cast<int>(c.bytes.size()));
        EXPECT_EQ(bytes, c.bytes);
    }
}

TEST(DebugOutput, CapturesNest) {
    DebugOutputCapture outer;
    WriteDebugOutput(L"a");
    {
        DebugOutputCapture inner;
        WriteDebugOutput(L"b");
        EXPECT_EQ(inner.text(), L"b");
    }
    WriteDebugOutput(L"c");
    WriteDebugOutput(nullptr);
    EXPECT_EQ(outer.text(), L"ac");
}

}  // namespace
}  // namespace velkast
