#pragma once
// The log file of a run with /log: UTF-8 text, appended to, one stamped line
// an event. Two runs may write one file at once: each line goes to its end
// whole, in one write under a lock of the file. A file that cannot be opened never stops the run: the log
// then takes its lines and writes nothing.

#include <windows.h>

#include <mutex>
#include <string>

#include "core/run/RunLog.h"
#include "win32/platform/Owners.h"

namespace velkast {

// "error 5: " and the system's text for the code on one line, or the code
// alone where the system has no text: the reason of a failure in the log.
std::wstring ErrorReason(DWORD code);

class RunLogFile final : public RunLog {
public:
    // Opens the file for appending, creating it, with a UTF-8 byte order mark,
    // when it is new or empty. An empty path opens nothing.
    explicit RunLogFile(const std::wstring& path);

    bool isOpen() const { return static_cast<bool>(file_); }
    // Why the file could not be opened; ERROR_SUCCESS when it was, or when no
    // path was given.
    DWORD openError() const { return openError_; }

    // Stamps the event with the local time and this process's id. Leaves the
    // thread's last error as it found it.
    void Write(const std::wstring& event) override;

private:
    UniqueFile file_;
    DWORD openError_ = ERROR_SUCCESS;
    std::mutex mutex_;
};

}  // namespace velkast
