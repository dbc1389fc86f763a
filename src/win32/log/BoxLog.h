#pragma once
// The message boxes of a run with a log: while it lives, each box is written
// to the log with its caption and text, then shown as usual or, in a run
// without a person, answered with OK unseen.

#include "core/run/RunLog.h"
#include "win32/ui/MessageBoxSeam.h"

namespace velkast {

class BoxLog final : public MessageBoxHandler {
public:
    // Shown boxes go where they went before: to the handler the seam held, or
    // to the screen.
    BoxLog(RunLog& log, bool show)
        : log_(log), show_(show), previous_(messageBoxSeam.get()), scope_(messageBoxSeam, this) {}
    BoxLog(const BoxLog&) = delete;
    BoxLog& operator=(const BoxLog&) = delete;

    int Show(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) override;

private:
    RunLog& log_;
    const bool show_;
    MessageBoxHandler* const previous_;
    ScopedOverride<MessageBoxHandler*> scope_;  // last: installed once the rest is ready
};

}  // namespace velkast
