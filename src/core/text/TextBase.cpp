#include "core/text/TextBase.h"

#include <climits>
#include <cstring>

#include "core/platform/Platform.h"

namespace velkast {

CTextBase::CTextBase() {
    std::memset(wideField_, 0, sizeof(wideField_));
    std::memset(ansiField_, 0, sizeof(ansiField_));
}

CTextBase::~CTextBase() {
    Clear();
}

bool CTextBase::Load(const void* bytes, std::uint32_t length) {
    if (length == kInvalidFileSize || (bytes == nullptr && length != 0)) {
        Clear();
        return false;
    }
    // The decoded text takes one wide character per byte and a terminator.
    // A script too large for the conversion's int counts, or for the 32-bit
    // size of the text buffer, is treated like a block the heap cannot give.
    const std::uint64_t units = std::uint64_t{length} + 1;
    const std::uint64_t textBytes = units * sizeof(wchar_t);
    if (units > INT_MAX || textBytes > UINT32_MAX) {
        Clear();
        return false;
    }

    HeapBlock copy(static_cast<std::size_t>(units));
    if (!copy) {
        Clear();
        return false;
    }
    if (length != 0) {
        std::memcpy(copy.get(), bytes, length);
    }

    Clear();
    textSize_ = static_cast<std::uint32_t>(textBytes);
    textBlock_ = HeapBlock(textSize_);
    if (!textBlock_) {
        Clear();
        return false;
    }
    wchar_t* const text = textBlock_.as<wchar_t>();
    platform::AnsiToWide(platform::AnsiPage::System, copy.as<char>(), static_cast<int>(units), text,
                         static_cast<int>(units));
    copy.reset();
    // The converted terminator ends the text, as does a NUL byte in the file.
    // The last element stays out of the count, so that the character after
    // the text can always be read, whatever the conversion produced.
    textLength_ = 0;
    while (textLength_ < units - 1 && text[textLength_] != L'\0') {
        ++textLength_;
    }

    lineStarts_.clear();
    lineStarts_.push_back(0);
    lineCount_ = 1;
    for (std::uint32_t i = 0; i < textLength_; ++i) {
        if (text[i] == L'\n' && text[i + 1] != L'\0') {
            lineStarts_.push_back(i + 1);
            ++lineCount_;
        }
    }

    if (SetFirstLine()) {
        return true;
    }
    Clear();
    return false;
}

bool CTextBase::Clear() {
    textBlock_.reset();
    textSize_ = 0;
    textLength_ = 0;
    lineCount_ = 0;
    lineStarts_.clear();
    fieldCursor_ = 0;
    std::memset(wideField_, 0, sizeof(wideField_));
    std::memset(ansiField_, 0, sizeof(ansiField_));
    return true;
}

}  // namespace velkast
