#include "support/win32/MessageBoxRecorder.h"

#include <iomanip>
#include <utility>

namespace velkast::testing {
namespace {

void PrintWide(const std::wstring& text, std::ostream* out) {
    // Enough to tell boxes apart in a failure message: ASCII as is, the rest
    // as code points, and a long text by its beginning and its length.
    constexpr std::size_t kShown = 120;
    const char fill = out->fill();
    *out << '"';
    for (const wchar_t c : text.substr(0, kShown)) {
        if (c == L'\r') {
            *out << "\\r";
        } else if (c == L'\n') {
            *out << "\\n";
        } else if (c >= 0x20 && c < 0x7f) {
            *out << static_cast<char>(c);
        } else {
            *out << "\\u" << std::hex << std::setw(4) << std::setfill('0') << static_cast<unsigned>(c)
                 << std::setfill(fill) << std::dec;
        }
    }
    *out << '"';
    if (text.size() > kShown) {
        *out << "... (" << text.size() << " characters)";
    }
}

}  // namespace

void PrintTo(const RecordedBox& box, std::ostream* out) {
    *out << "{owner " << static_cast<const void*>(box.owner) << ", text ";
    PrintWide(box.text, out);
    *out << ", caption ";
    if (box.caption) {
        PrintWide(*box.caption, out);
    } else {
        *out << "null";
    }
    *out << ", style 0x" << std::hex << box.style << std::dec << "}";
}

MessageBoxRecorder::MessageBoxRecorder(int answer) : answer_(answer), scope_(messageBoxSeam, this) {}

std::vector<RecordedBox> MessageBoxRecorder::boxes() const {
    std::lock_guard lock(mutex_);
    return boxes_;
}

void MessageBoxRecorder::onShow(std::function<void(const RecordedBox&)> callback) {
    std::lock_guard lock(mutex_);
    onShow_ = std::move(callback);
}

int MessageBoxRecorder::Show(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
    RecordedBox box{owner, text == nullptr ? std::wstring() : std::wstring(text),
                    caption == nullptr ? std::nullopt : std::optional<std::wstring>(caption), style};
    std::function<void(const RecordedBox&)> callback;
    {
        std::lock_guard lock(mutex_);
        boxes_.push_back(box);
        callback = onShow_;
    }
    // Outside the lock, so that the callback may look at the recorder.
    if (callback) {
        callback(box);
    }
    return answer_;
}

}  // namespace velkast::testing
