#pragma once
// The form of a line of the log: when, which process, what.

#include <cstdint>
#include <string>

namespace velkast {

// A moment in local time, with its distance from UTC.
struct LogTime {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    int utcOffsetMinutes = 0;  // east of UTC is positive: +540 in Japan
};

// "2026-05-04T10:15:30.123+09:00 [4242] text" and CR LF: the time in
// ISO 8601, the process id (two runs may write one log), then the text on
// one line: each run of line breaks in it becomes " | ", and breaks at its
// ends are dropped.
std::wstring FormatLogLine(const LogTime& time, std::uint32_t processId, const std::wstring& text);

// The text with its line breaks joined as FormatLogLine joins them.
std::wstring OneLine(const std::wstring& text);

}  // namespace velkast
