#pragma once
// The core's traces go through here, so that tests can read them.

#include <string>

namespace velkast {

// Writes the text to the debugger output, or to the capture that is active.
void WriteDebugOutput(const wchar_t* text);

// While it lives, every text written with WriteDebugOutput is appended to
// text() instead of reaching the debugger. Captures nest; the newest wins.
class DebugOutputCapture {
public:
    DebugOutputCapture();
    ~DebugOutputCapture();
    DebugOutputCapture(const DebugOutputCapture&) = delete;
    DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

    const std::wstring& text() const { return text_; }
    void clear() { text_.clear(); }

private:
    friend void WriteDebugOutput(const wchar_t* text);
    std::wstring text_;
    DebugOutputCapture* previous_;
};

}  // namespace velkast
