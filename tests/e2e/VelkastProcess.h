#pragma once
// Velkast.exe started as a person starts it, with the end-to-end driver as its
// debugger. A thread of its own creates the process and runs the debug loop:
// it collects the program's debugger output and its exit code, and it never
// sends a message to the program's windows (the program is frozen while one
// of its debug events is pending).
//
// A breakpoint on a system function lets a scenario look at the program at a
// known point of its run: the check runs while the program is frozen, and the
// thread that reached the point can be held there while the others go on.

#include <windows.h>

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "win32/platform/Owners.h"

namespace velkast::e2e {

struct Breakpoint {
    const wchar_t* module = nullptr;  // a system DLL, such as L"user32.dll"
    const char* function = nullptr;   // one of its exports
    // Runs on the debug thread when the program first calls the function,
    // with the program (whose id it gets) frozen: it must not send messages
    // to the program's windows.
    std::function<void(DWORD)> atHit;
    // Keep the calling thread suspended at the function's start until
    // ReleaseHeldThreads().
    bool holdThread = false;
};

class VelkastProcess {
public:
    struct Options {
        std::wstring exe;     // the program file
        std::wstring folder;  // the working folder, as when started from its own folder
        // Armed as soon as the program's DLLs are loaded, before its entry point.
        std::optional<Breakpoint> breakpoint;
        // What follows the program's quoted path on its command line.
        std::wstring arguments{};
    };

    explicit VelkastProcess(Options options);
    ~VelkastProcess();  // ends the program if it still runs
    VelkastProcess(const VelkastProcess&) = delete;
    VelkastProcess& operator=(const VelkastProcess&) = delete;

    // False when the program could not be started; error() says why.
    bool started() const { return id_ != 0; }
    const std::wstring& error() const { return error_; }
    DWORD id() const { return id_; }

    bool running() const;
    // Waits up to the timeout for the program's end; its exit code, if it ended.
    std::optional<DWORD> WaitForExit(DWORD milliseconds = 20000);

    // Every debugger output text so far, in order.
    std::vector<std::wstring> debugOutput() const;

    // Arms a breakpoint while the program runs (one at a time); false when
    // the function cannot be found at the same address in the program.
    bool Arm(Breakpoint breakpoint);
    // Waits up to the timeout until the armed breakpoint was reached and its
    // check has run.
    bool WaitForBreakpoint(DWORD milliseconds = 20000) const;
    void ReleaseHeldThreads();

private:
    void DebugThread();
    void HandleEvent(const DEBUG_EVENT& event, DWORD& continueStatus);
    bool HandleBreakpoint(const DEBUG_EVENT& event);
    std::wstring ReadDebugString(const OUTPUT_DEBUG_STRING_INFO& info) const;

    Options options_;
    std::wstring error_;
    DWORD id_ = 0;
    UniqueHandle process_;  // from CreateProcessW, kept until the end
    UniqueHandle startedEvent_;
    UniqueHandle exitedEvent_;
    UniqueHandle breakEvent_;
    bool loaderBreakSeen_ = false;  // debug thread only

    mutable std::mutex mutex_;
    std::vector<std::wstring> output_;
    std::optional<DWORD> exitCode_;
    std::map<DWORD, HANDLE> threads_;  // handles that the debug events gave; valid until their thread ends
    std::vector<HANDLE> held_;
    std::optional<Breakpoint> armed_;
    BYTE* breakAddress_ = nullptr;
    BYTE originalByte_ = 0;

    std::thread thread_;
};

}  // namespace velkast::e2e
