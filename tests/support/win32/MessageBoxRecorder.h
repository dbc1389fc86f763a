#pragma once
// Stands in for the user in tests: while it lives, every message box of the
// program is recorded here instead of shown, and answered.

#include <windows.h>

#include <functional>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "win32/ui/MessageBoxSeam.h"

namespace velkast::testing {

struct RecordedBox {
    HWND owner;
    std::wstring text;                    // a null text is recorded as empty
    std::optional<std::wstring> caption;  // nullopt when the box had no caption at all
    UINT style;

    bool operator==(const RecordedBox&) const = default;
};

void PrintTo(const RecordedBox& box, std::ostream* out);

class MessageBoxRecorder final : public MessageBoxHandler {
public:
    // Every box is answered with the answer, as if the user had clicked that button.
    explicit MessageBoxRecorder(int answer = IDOK);
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    // The boxes shown so far, in the order they were shown.
    std::vector<RecordedBox> boxes() const;

    // Called with each box as it is shown, before it is answered, on the
    // thread that shows it: for checking the state of things at that moment.
    void onShow(std::function<void(const RecordedBox&)> callback);

private:
    int Show(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) override;

    const int answer_;
    mutable std::mutex mutex_;
    std::vector<RecordedBox> boxes_;
    std::function<void(const RecordedBox&)> onShow_;
    ScopedOverride<MessageBoxHandler*> scope_;  // last: installed once the rest is ready, removed first
};

}  // namespace velkast::testing
