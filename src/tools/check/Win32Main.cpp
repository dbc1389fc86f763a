// velkast-check.exe: the checker with the real registry and file system.
// It writes UTF-8, or wide text to a console, and never shows a box.

#include <windows.h>

#include <string>
#include <vector>

#include "tools/check/CheckCommand.h"
#include "tools/check/CheckFormat.h"

namespace {

void Write(DWORD which, const std::wstring& text) {
    const HANDLE stream = GetStdHandle(which);
    if (text.empty() || stream == nullptr || stream == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(stream, &mode)) {
        WriteConsoleW(stream, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const std::string bytes = velkast::check::ToUtf8(text);
    WriteFile(stream, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // No box of the system for a drive without a disk, or a file it cannot open.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const std::vector<std::wstring> args(argv + 1, argv + argc);
    const auto host = velkast::check::MakeLocalHost();
    const velkast::check::CommandResult result = velkast::check::RunCheckCommand(args, *host);
    Write(STD_OUTPUT_HANDLE, result.out);
    Write(STD_ERROR_HANDLE, result.err);
    return result.status;
}
