#pragma once
// The update script, handed out one line with content at a time and, within
// the line, one TAB-separated field at a time.

#include <cstdint>

#include "core/text/TextBase.h"

namespace velkast {

class CTextLine : public CTextBase {
public:
    CTextLine();
    ~CTextLine() override;

    bool SetFirstLine() override;

    // Selects the line with this 0-based index; true when it has content.
    // An index past the last line changes nothing.
    bool SetLine(std::uint32_t index);

    // Selects the next line with content after the current one; false, with
    // nothing changed, when the current line is the last.
    bool NextLine();

    // The next field of the current line in the ANSI code page, NUL-terminated
    // and at most 1023 bytes long, or null when the line has no more fields.
    // Valid until the next GetField, SetLine, NextLine or Clear.
    const char* GetField();

    std::uint32_t currentLineIndex() const { return lineIndex_; }
    const wchar_t* currentLine() const { return line_; }

private:
    void ResetLineState();

    std::uint32_t lineIndex_ = 0;
    std::uint32_t lineLength_ = 0;
    wchar_t line_[kLineCapacity];
};

}  // namespace velkast
