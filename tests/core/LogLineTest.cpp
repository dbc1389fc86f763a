#include "core/run/LogLine.h"

#include <gtest/gtest.h>

namespace velkast {
namespace {

TEST(LogLine, TimeInIso8601WithItsOffsetThenProcessThenText) {
    struct Case {
        LogTime time;
        std::uint32_t processId;
        std::wstring line;
    };
    const Case cases[] = {
        {{2026, 5, 4, 10, 15, 30, 123, 540}, 4242, L"2026-05-04T10:15:30.123+09:00 [4242] text\r\n"},
        {{2026, 12, 31, 23, 59, 59, 999, 0}, 1, L"2026-12-31T23:59:59.999+00:00 [1] text\r\n"},
        // West of UTC, and offsets that are not whole hours.
        {{2026, 1, 2, 3, 4, 5, 6, -300}, 7, L"2026-01-02T03:04:05.006-05:00 [7] text\r\n"},
        {{2026, 1, 2, 3, 4, 5, 6, -30}, 7, L"2026-01-02T03:04:05.006-00:30 [7] text\r\n"},
        {{2026, 1, 2, 3, 4, 5, 6, 345}, 4294967295u, L"2026-01-02T03:04:05.006+05:45 [4294967295] text\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatLogLine(c.time, c.processId, L"text"), c.line);
    }
}

TEST(LogLine, EveryEventOnOneLine) {
    struct Case {
        std::wstring text, line;
    };
    const Case cases[] = {
        {L"", L""},
        {L"plain", L"plain"},
        // A box of the copy worker: each run of breaks is one separator.
        {L"◆メッセージ◆\r\nコピーに失敗しました。\r\n\n◆エラー内容◆\r\nアクセスが拒否されました。\r\n",
         L"◆メッセージ◆ | コピーに失敗しました。 | ◆エラー内容◆ | アクセスが拒否されました。"},
        {L"\r\n\nlead", L"lead"},
        {L"a\rb\nc", L"a | b | c"},
        {L"\r\n", L""},
        {L"tab\tand  blanks ", L"tab\tand  blanks "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OneLine(c.text), c.line);
    }
    LogTime time{2026, 5, 4, 10, 15, 30, 0, 0};
    EXPECT_EQ(FormatLogLine(time, 2, L"x\r\ny\r\n"), L"2026-05-04T10:15:30.000+00:00 [2] x | y\r\n");
}

}  // namespace
}  // namespace velkast
