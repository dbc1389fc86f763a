// A stand-in for the programs and documents that Velkast opens: started by the
// shell, it appends one line to the file that VELKAST_RECORD_FILE names (or,
// when that is not set, record.txt beside itself): its working folder, a TAB
// and its command line, in UTF-8. Tests read what was opened, and how.

#include <windows.h>

#include <string>

#include "win32/platform/Owners.h"

namespace {

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr,
                        nullptr);
    return out;
}

std::wstring RecordPath() {
    wchar_t path[MAX_PATH * 2];
    const DWORD length = GetEnvironmentVariableW(L"VELKAST_RECORD_FILE", path, MAX_PATH * 2);
    if (length > 0 && length < MAX_PATH * 2) {
        return path;
    }
    const DWORD self = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    std::wstring folder(path, self);
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"record.txt";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t folder[MAX_PATH * 2];
    const DWORD length = GetCurrentDirectoryW(MAX_PATH * 2, folder);
    const std::string line = Utf8(std::wstring(folder, length)) + "\t" + Utf8(GetCommandLineW()) + "\n";
    // Several programs may record at once: append under an exclusive open.
    for (int attempt = 0; attempt < 200; ++attempt) {
        const velkast::UniqueFile file(CreateFileW(RecordPath().c_str(), FILE_APPEND_DATA, 0, nullptr,
                                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            DWORD written = 0;
            WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            return 0;
        }
        Sleep(10);
    }
    return 1;
}
