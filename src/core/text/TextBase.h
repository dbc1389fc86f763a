#pragma once
// The decoded update script: its text, where each line begins, and the field
// buffers that hand it out. CTextLine adds the selection of a line.

#include <cstdint>
#include <vector>

#include "core/platform/HeapBlock.h"

namespace velkast {

class CTextBase {
public:
    // A line, counted with its line end, holds at most this many characters;
    // the line and field buffers hold that and a terminating NUL.
    static constexpr std::uint32_t kLineCapacity = 1024;
    // The size that marks a file whose size could not be read.
    static constexpr std::uint32_t kInvalidFileSize = 0xFFFFFFFFu;

    CTextBase();
    virtual ~CTextBase();
    CTextBase(const CTextBase&) = delete;
    CTextBase& operator=(const CTextBase&) = delete;

    // Selects the first line with content; Load calls it as its last step.
    virtual bool SetFirstLine() = 0;

    // Decodes the bytes (ANSI code page) and finds the lines. True when a line
    // with content was selected; otherwise the store is left empty. The caller
    // keeps the bytes.
    bool Load(const void* bytes, std::uint32_t length);

    // Releases the text and empties the store.
    bool Clear();

    std::uint32_t textLength() const { return textLength_; }
    std::uint32_t lineCount() const { return lineCount_; }

protected:
    const wchar_t* text() const { return textBlock_.as<wchar_t>(); }

    std::uint32_t textSize_ = 0;    // bytes of the text buffer
    std::uint32_t textLength_ = 0;  // characters before the first NUL
    HeapBlock textBlock_;           // the decoded text, from the private heap
    std::uint32_t lineCount_ = 0;
    std::vector<std::uint32_t> lineStarts_;
    std::uint32_t fieldCursor_ = 0;
    wchar_t wideField_[kLineCapacity];
    char ansiField_[kLineCapacity];
};

}  // namespace velkast
