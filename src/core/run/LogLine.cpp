#include "core/run/LogLine.h"

#include <cwchar>

namespace velkast {
namespace {

bool IsBreak(wchar_t c) {
    return c == L'\r' || c == L'\n';
}

}  // namespace

std::wstring OneLine(const std::wstring& text) {
    std::wstring line;
    std::size_t i = 0;
    while (i < text.size()) {
        if (!IsBreak(text[i])) {
            line += text[i++];
            continue;
        }
        while (i < text.size() && IsBreak(text[i])) {
            ++i;
        }
        if (!line.empty() && i < text.size()) {
            line += L" | ";
        }
    }
    return line;
}

std::wstring FormatLogLine(const LogTime& time, std::uint32_t processId, const std::wstring& text) {
    const int offset = time.utcOffsetMinutes < 0 ? -time.utcOffsetMinutes : time.utcOffsetMinutes;
    wchar_t stamp[64];
    std::swprintf(stamp, sizeof(stamp) / sizeof(stamp[0]),
                  L"%04d-%02d-%02dT%02d:%02d:%02d.%03d%lc%02d:%02d [%lu] ", time.year, time.month, time.day,
                  time.hour, time.minute, time.second, time.millisecond,
                  static_cast<wint_t>(time.utcOffsetMinutes < 0 ? L'-' : L'+'), offset / 60, offset % 60,
                  static_cast<unsigned long>(processId));
    return stamp + OneLine(text) + L"\r\n";
}

}  // namespace velkast
