#pragma once
// The documents of a run with a log: while it lives, each document that the
// program opens with the shell (the launch document, the report) is written
// to the log, then opened as usual or, in a quiet run, left unopened.

#include "core/run/RunLog.h"
#include "win32/ui/ShellSeam.h"

namespace velkast {

class ShellLog final : public ShellOpenHandler {
public:
    // Opened documents go where they went before: to the handler the seam
    // held, or to the shell.
    ShellLog(RunLog& log, bool open)
        : log_(log), open_(open), previous_(shellOpenSeam.get()), scope_(shellOpenSeam, this) {}
    ShellLog(const ShellLog&) = delete;
    ShellLog& operator=(const ShellLog&) = delete;

    void Open(const std::wstring& path) override;

private:
    RunLog& log_;
    const bool open_;
    ShellOpenHandler* const previous_;
    ScopedOverride<ShellOpenHandler*> scope_;  // last: installed once the rest is ready
};

}  // namespace velkast
