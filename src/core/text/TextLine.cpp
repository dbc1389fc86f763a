#include "core/text/TextLine.h"

#include <cstring>
#include <cwchar>

#include "core/platform/DebugOutput.h"
#include "core/platform/Platform.h"

namespace velkast {
namespace {

constexpr std::uint32_t kMaxLineLength = CTextBase::kLineCapacity - 1;
constexpr int kMaxFieldBytes = static_cast<int>(CTextBase::kLineCapacity) - 1;

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// How many wide characters of the field fit into maxBytes in the ANSI code
// page, counting whole characters only, so that a double-byte character (or
// a surrogate pair) is never split.
int FittingPrefix(const wchar_t* field, int length, int maxBytes) {
    int bytes = 0;
    int i = 0;
    while (i < length) {
        const int units =
            (IsHighSurrogate(field[i]) && i + 1 < length && IsLowSurrogate(field[i + 1])) ? 2 : 1;
        const int needed = platform::WideToAnsi(platform::AnsiPage::System, field + i, units, nullptr, 0);
        if (needed <= 0 || bytes + needed > maxBytes) {
            break;
        }
        bytes += needed;
        i += units;
    }
    return i;
}

}  // namespace

CTextLine::CTextLine() {
    std::memset(line_, 0, sizeof(line_));
}

CTextLine::~CTextLine() {
    lineIndex_ = 0;
    lineLength_ = 0;
    std::memset(line_, 0, sizeof(line_));
}

bool CTextLine::SetFirstLine() {
    if (SetLine(0)) {
        return true;
    }
    return NextLine();
}

void CTextLine::ResetLineState() {
    lineLength_ = 0;
    fieldCursor_ = 0;
    std::memset(line_, 0, sizeof(line_));
    std::memset(wideField_, 0, sizeof(wideField_));
    std::memset(ansiField_, 0, sizeof(ansiField_));
}

bool CTextLine::SetLine(std::uint32_t index) {
    if (index >= lineCount_) {
        return false;
    }
    lineIndex_ = index;
    ResetLineState();

    const std::uint32_t start = lineStarts_[index];
    const std::uint32_t end = index + 1 < lineCount_ ? lineStarts_[index + 1] : textLength_;
    // The raw length counts the line's own LF and a CR before it.
    std::uint32_t length = end - start;
    if (length >= kLineCapacity) {
        wchar_t message[128];
        std::swprintf(message, sizeof(message) / sizeof(message[0]),
                      L"[CTextLine::SetLine]%d行目の文字数が多すぎます。\r\n", static_cast<int>(index + 1));
        WriteDebugOutput(message);
        length = kMaxLineLength;
    }

    const wchar_t* const line = text() + start;
    for (std::uint32_t i = 0; i + 1 < length; ++i) {
        if (line[i] == L'\r' && line[i + 1] == L'\n') {
            length = i;
            break;
        }
    }
    for (std::uint32_t i = 0; i < length; ++i) {
        if (line[i] == L'\n') {
            length = i;
            break;
        }
    }
    // A comment begins at the first "//", wherever it stands.
    for (std::uint32_t i = 0; i + 1 < length; ++i) {
        if (line[i] == L'/' && line[i + 1] == L'/') {
            length = i;
            break;
        }
    }
    if (length == 0) {
        return false;
    }
    std::memcpy(line_, line, length * sizeof(wchar_t));
    lineLength_ = length;
    return true;
}

bool CTextLine::NextLine() {
    for (std::uint32_t i = lineIndex_ + 1; i < lineCount_; ++i) {
        if (SetLine(i)) {
            return true;
        }
    }
    return false;
}

const char* CTextLine::GetField() {
    std::memset(wideField_, 0, sizeof(wideField_));
    std::memset(ansiField_, 0, sizeof(ansiField_));

    // The line buffer always ends in a NUL (a line holds at most 1023
    // characters), so the scan below stops inside it.
    int length = 0;
    for (;;) {
        const wchar_t c = line_[fieldCursor_];
        if (c == L'\0') {
            break;
        }
        ++fieldCursor_;
        if (c == L'\n') {
            break;
        }
        if (c == L'\t' || c == L'\r') {
            // A run of separators counts as one; one at the end of the line
            // is taken with the field before it.
            const wchar_t d = line_[fieldCursor_];
            if (d == L'\0' || d == L'\t' || d == L'\n' || d == L'\r') {
                continue;
            }
            break;
        }
        wideField_[length++] = c;
    }
    if (length == 0) {
        return nullptr;
    }

    const int needed = platform::WideToAnsi(platform::AnsiPage::System, wideField_, length, nullptr, 0);
    const int fitting = needed <= kMaxFieldBytes ? length : FittingPrefix(wideField_, length, kMaxFieldBytes);
    platform::WideToAnsi(platform::AnsiPage::System, wideField_, fitting, ansiField_, kMaxFieldBytes);
    return ansiField_;
}

}  // namespace velkast
