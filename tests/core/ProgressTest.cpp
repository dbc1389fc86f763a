#include <gtest/gtest.h>

#include <string>

#include "core/job/CopyJob.h"
#include "core/progress/ByteCount.h"
#include "core/progress/Progress.h"

namespace velkast {
namespace {

TEST(FormatByteCount, GroupsOfThreeFromTheRight) {
    struct Case {
        std::uint64_t count;
        std::wstring text;
    };
    const Case cases[] = {
        {0, L"0"},
        {7, L"7"},
        {999, L"999"},
        {1000, L"1,000"},
        {12345, L"12,345"},
        {1234567, L"1,234,567"},
        {99999999, L"99,999,999"},
        {100000000, L"100,000,000"},
        {18446744073709551615ull, L"18,446,744,073,709,551,615"},
    };
    for (const auto& c : cases) {
        std::wstring text = L"earlier text";
        EXPECT_EQ(FormatByteCount(text, c.count), c.text);
        EXPECT_EQ(text, c.text);
    }
}

TEST(ProgressPercent, DivisionFirstThenTimesHundredTruncated) {
    struct Case {
        std::uint64_t copied, total, percent;
        std::wstring text;
    };
    const Case cases[] = {
        {29, 100, 28, L" 28 %"},  // 0.29 * 100.0 is 28.999999999999996
        {57, 100, 56, L" 56 %"},
        {1, 3, 33, L" 33 %"},
        {3, 3, 100, L"100 %"},
        {5, 100, 5, L"  5 %"},
        {0, 100, 0, L"  0 %"},
        {0, 0, 0, L"  0 %"},  // no total: not a number
        {7, 0, 0, L"  0 %"},  // beyond every range
        {120, 100, 120, L"120 %"},
        {12345, 1, 1234500, L"1234500 %"},
        {(5ull << 30) - 1, 5ull << 30, 99, L" 99 %"},
    };
    for (const auto& c : cases) {
        const std::uint64_t percent = ProgressPercent(c.copied, c.total);
        EXPECT_EQ(percent, c.percent) << c.copied << " of " << c.total;
        EXPECT_EQ(PercentText(percent), c.text);
    }
    // The text takes the low 32 bits as a signed number.
    EXPECT_EQ(PercentText((1ull << 32) + 5), L"  5 %");
    EXPECT_EQ(PercentText(0xFFFFFFFFull), L" -1 %");
}

TEST(AdvanceCopiedBytes, EachFileCountsFromZeroAndNothingWraps) {
    CopyJob job;
    job.totalBytes = 3000;
    // Two files of 1,000 and 2,000 bytes, reported as the copy service does:
    // 0 at the start of the stream, then after each chunk.
    for (std::uint64_t count : {0ull, 400ull, 1000ull}) {
        AdvanceCopiedBytes(job, count);
    }
    EXPECT_EQ(job.copiedBytes, 1000u);
    job.fileBytesCounted = 0;
    for (std::uint64_t count : {0ull, 500ull, 1500ull, 2000ull, 2000ull}) {
        AdvanceCopiedBytes(job, count);
    }
    EXPECT_EQ(job.copiedBytes, 3000u);

    // A file of 5 GiB climbs past 4 GiB without falling back.
    CopyJob big;
    std::uint64_t previous = 0;
    for (std::uint64_t count = 0; count <= (5ull << 30); count += 1ull << 28) {
        AdvanceCopiedBytes(big, count);
        EXPECT_GE(big.copiedBytes, previous);
        previous = big.copiedBytes;
    }
    EXPECT_EQ(big.copiedBytes, 5ull << 30);
}

}  // namespace
}  // namespace velkast
