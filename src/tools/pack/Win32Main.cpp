// velkast-pack.exe: writes UTF-8, also to a console (whose code page it sets
// for its run), and never shows a box.

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tools/pack/PackCommand.h"
#include "tools/pack/PackText.h"

namespace {

void Write(DWORD which, const std::wstring& text) {
    const std::string bytes = velkast::pack::Utf8(text);
    DWORD written = 0;
    if (!bytes.empty()) {
        WriteFile(GetStdHandle(which), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
}

std::filesystem::path ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return std::filesystem::path(path).parent_path();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // No box of the system for a drive without a disk, or a file it cannot open.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const std::vector<std::wstring> args(argv + 1, argv + argc);
    const velkast::pack::PackResult result = velkast::pack::RunPackCommand(args, ProgramFolder());
    const UINT codePage = GetConsoleOutputCP();
    SetConsoleOutputCP(CP_UTF8);
    Write(STD_OUTPUT_HANDLE, result.out);
    Write(STD_ERROR_HANDLE, result.err);
    if (codePage != 0) {
        SetConsoleOutputCP(codePage);
    }
    return result.status;
}
