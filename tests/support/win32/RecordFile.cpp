#include "support/win32/RecordFile.h"

#include "win32/platform/Owners.h"

namespace velkast::testing {
namespace {

std::wstring Wide(const std::string& utf8) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
    return out;
}

}  // namespace

std::vector<ShellRecord> ReadRecords(const std::wstring& file) {
    std::vector<ShellRecord> records;
    const UniqueFile handle(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
        return records;
    }
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(handle.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    std::size_t start = 0;
    for (std::size_t end = bytes.find('\n'); end != std::string::npos; end = bytes.find('\n', start)) {
        const std::string line = bytes.substr(start, end - start);
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos) {
            records.push_back({Wide(line.substr(0, tab)), Wide(line.substr(tab + 1))});
        }
        start = end + 1;
    }
    return records;
}

std::wstring ShellRecorderPath() {
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, length);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"velkast_shell_recorder.exe";
}

std::vector<ShellRecord> WaitForRecords(const std::wstring& file, std::size_t count) {
    std::vector<ShellRecord> records;
    for (int i = 0; i < 400; ++i) {
        records = ReadRecords(file);
        if (records.size() >= count) {
            break;
        }
        Sleep(50);
    }
    return records;
}

}  // namespace velkast::testing
