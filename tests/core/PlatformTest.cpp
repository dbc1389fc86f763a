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
