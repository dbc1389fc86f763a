#include "VelkastProcess.h"

#include <cstring>

namespace velkast::e2e {
namespace {

constexpr BYTE kBreakInstruction = 0xCC;

// WaitForDebugEventEx hands OutputDebugStringW's text over as it was written;
// the older call converts it to the ANSI code page first.
using WaitFunction = BOOL(WINAPI*)(LPDEBUG_EVENT, DWORD);

WaitFunction DebugWaitFunction() {
    if (const HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
        if (const FARPROC ex = GetProcAddress(kernel, "WaitForDebugEventEx")) {
            return reinterpret_cast<WaitFunction>(reinterpret_cast<void*>(ex));
        }
    }
    return &WaitForDebugEvent;
}

std::wstring FromAnsi(const std::string& text) {
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

BYTE* FunctionAddress(const Breakpoint& breakpoint) {
    const HMODULE module = LoadLibraryW(breakpoint.module);
    if (module == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<BYTE*>(reinterpret_cast<void*>(GetProcAddress(module, breakpoint.function)));
}

}  // namespace

VelkastProcess::VelkastProcess(Options options) : options_(std::move(options)) {
    startedEvent_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    exitedEvent_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    breakEvent_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    thread_ = std::thread([this] { DebugThread(); });
    WaitForSingleObject(startedEvent_.get(), INFINITE);
}

VelkastProcess::~VelkastProcess() {
    if (id_ != 0) {
        ReleaseHeldThreads();
        if (WaitForSingleObject(exitedEvent_.get(), 0) != WAIT_OBJECT_0) {
            // A scenario that failed half-way: the program goes with it.
            TerminateProcess(process_.get(), 1);
        }
    }
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool VelkastProcess::running() const {
    return id_ != 0 && WaitForSingleObject(exitedEvent_.get(), 0) != WAIT_OBJECT_0;
}

std::optional<DWORD> VelkastProcess::WaitForExit(DWORD milliseconds) {
    if (id_ == 0 || WaitForSingleObject(exitedEvent_.get(), milliseconds) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    return exitCode_;
}

std::vector<std::wstring> VelkastProcess::debugOutput() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return output_;
}

// A software breakpoint on the first byte of the function. System DLLs lie at
// the same address in every process of a Wine server (as they do on Windows
// within one boot); the comparison of the code bytes confirms it before
// anything is written.
bool VelkastProcess::Arm(Breakpoint breakpoint) {
    BYTE* address = FunctionAddress(breakpoint);
    if (address == nullptr || !process_) {
        return false;
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    if (breakAddress_ != nullptr) {
        return false;
    }
    BYTE theirs[16] = {};
    SIZE_T read = 0;
    if (!ReadProcessMemory(process_.get(), address, theirs, sizeof(theirs), &read) ||
        read != sizeof(theirs) || std::memcmp(theirs, address, sizeof(theirs)) != 0) {
        return false;
    }
    SIZE_T written = 0;
    if (!WriteProcessMemory(process_.get(), address, &kBreakInstruction, 1, &written) || written != 1) {
        return false;
    }
    FlushInstructionCache(process_.get(), address, 1);
    ResetEvent(breakEvent_.get());
    breakAddress_ = address;
    originalByte_ = theirs[0];
    armed_ = std::move(breakpoint);
    return true;
}

bool VelkastProcess::WaitForBreakpoint(DWORD milliseconds) const {
    const HANDLE events[] = {breakEvent_.get(), exitedEvent_.get()};
    return WaitForMultipleObjects(2, events, FALSE, milliseconds) == WAIT_OBJECT_0;
}

void VelkastProcess::ReleaseHeldThreads() {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (const HANDLE thread : held_) {
        ResumeThread(thread);
    }
    held_.clear();
}

void VelkastProcess::DebugThread() {
    std::wstring commandLine = L"\"" + options_.exe + L"\"";
    if (!options_.arguments.empty()) {
        commandLine += L" " + options_.arguments;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(options_.exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        DEBUG_ONLY_THIS_PROCESS, nullptr,
                        options_.folder.empty() ? nullptr : options_.folder.c_str(), &startup, &info)) {
        error_ = L"CreateProcessW failed with error " + std::to_wstring(GetLastError());
        SetEvent(exitedEvent_.get());
        SetEvent(startedEvent_.get());
        return;
    }
    const UniqueHandle mainThread(info.hThread);  // the debug events give the threads' own handles
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
    SetEvent(startedEvent_.get());

    const WaitFunction wait = DebugWaitFunction();
    for (;;) {
        DEBUG_EVENT event{};
        if (!wait(&event, INFINITE)) {
            break;
        }
        DWORD continueStatus = DBG_CONTINUE;
        HandleEvent(event, continueStatus);
        const bool ended = event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT;
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continueStatus);
        if (ended) {
            break;
        }
    }
    WaitForSingleObject(process_.get(), INFINITE);
    SetEvent(exitedEvent_.get());
}

void VelkastProcess::HandleEvent(const DEBUG_EVENT& event, DWORD& continueStatus) {
    switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT: {
            const UniqueFile image(event.u.CreateProcessInfo.hFile);
            const std::lock_guard<std::mutex> lock(mutex_);
            threads_[event.dwThreadId] = event.u.CreateProcessInfo.hThread;
            break;
        }
        case CREATE_THREAD_DEBUG_EVENT: {
            const std::lock_guard<std::mutex> lock(mutex_);
            threads_[event.dwThreadId] = event.u.CreateThread.hThread;
            break;
        }
        case EXIT_THREAD_DEBUG_EVENT: {
            // The system closes the handle once this event is continued.
            const std::lock_guard<std::mutex> lock(mutex_);
            const auto found = threads_.find(event.dwThreadId);
            if (found != threads_.end()) {
                std::erase(held_, found->second);
                threads_.erase(found);
            }
            break;
        }
        case LOAD_DLL_DEBUG_EVENT: {
            const UniqueFile image(event.u.LoadDll.hFile);
            break;
        }
        case OUTPUT_DEBUG_STRING_EVENT: {
            std::wstring text = ReadDebugString(event.u.DebugString);
            const std::lock_guard<std::mutex> lock(mutex_);
            output_.push_back(std::move(text));
            break;
        }
        case EXCEPTION_DEBUG_EVENT:
            if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
                continueStatus = DBG_EXCEPTION_NOT_HANDLED;
            } else if (!HandleBreakpoint(event) && !loaderBreakSeen_) {
                // The loader's breakpoint: every imported DLL is there now.
                loaderBreakSeen_ = true;
                if (options_.breakpoint) {
                    Arm(*options_.breakpoint);
                }
            }
            break;
        case EXIT_PROCESS_DEBUG_EVENT: {
            const std::lock_guard<std::mutex> lock(mutex_);
            exitCode_ = event.u.ExitProcess.dwExitCode;
            threads_.clear();
            held_.clear();
            break;
        }
        default:
            break;
    }
}

std::wstring VelkastProcess::ReadDebugString(const OUTPUT_DEBUG_STRING_INFO& info) const {
    const std::size_t count = info.nDebugStringLength;
    if (count == 0 || info.lpDebugStringData == nullptr) {
        return std::wstring();
    }
    SIZE_T read = 0;
    if (info.fUnicode) {
        std::wstring text(count, L'\0');
        ReadProcessMemory(process_.get(), info.lpDebugStringData, text.data(), count * sizeof(wchar_t),
                          &read);
        text.resize(read / sizeof(wchar_t));
        text.resize(std::wcslen(text.c_str()));
        return text;
    }
    std::string text(count, '\0');
    ReadProcessMemory(process_.get(), info.lpDebugStringData, text.data(), count, &read);
    text.resize(read);
    text.resize(std::strlen(text.c_str()));
    return FromAnsi(text);
}

bool VelkastProcess::HandleBreakpoint(const DEBUG_EVENT& event) {
    std::optional<Breakpoint> hit;
    HANDLE thread = nullptr;
    BYTE* address = nullptr;
    BYTE original = 0;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (breakAddress_ == nullptr || event.u.Exception.ExceptionRecord.ExceptionAddress != breakAddress_) {
            return false;
        }
        hit = std::move(armed_);
        armed_.reset();
        address = breakAddress_;
        original = originalByte_;
        const auto found = threads_.find(event.dwThreadId);
        thread = found == threads_.end() ? nullptr : found->second;
    }
    if (hit->atHit) {
        hit->atHit(id_);
    }
    // Put the first byte back and let the thread run the function from its start.
    SIZE_T written = 0;
    WriteProcessMemory(process_.get(), address, &original, 1, &written);
    FlushInstructionCache(process_.get(), address, 1);
    CONTEXT context{};
    context.ContextFlags = CONTEXT_CONTROL;
    if (thread != nullptr && GetThreadContext(thread, &context)) {
        context.Rip = reinterpret_cast<DWORD64>(address);
        SetThreadContext(thread, &context);
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    if (hit->holdThread && thread != nullptr && SuspendThread(thread) != static_cast<DWORD>(-1)) {
        held_.push_back(thread);
    }
    breakAddress_ = nullptr;
    SetEvent(breakEvent_.get());
    return true;
}

}  // namespace velkast::e2e
