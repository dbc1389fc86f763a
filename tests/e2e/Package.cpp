#include "Package.h"

#include <stdexcept>

namespace velkast::e2e {

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    for (std::size_t slash = path.find(L'\\', 3); slash != std::wstring::npos;
         slash = path.find(L'\\', slash + 1)) {
        CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
    }
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot create a file of the package");
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size()) {
        throw std::runtime_error("cannot write a file of the package");
    }
}

void WriteCp932(const std::wstring& path, const std::wstring& text) {
    std::string bytes;
    if (!text.empty()) {
        BOOL lossy = FALSE;
        const int size = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text.data(),
                                             static_cast<int>(text.size()), nullptr, 0, nullptr, &lossy);
        bytes.resize(static_cast<std::size_t>(size));
        WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                            bytes.data(), size, nullptr, &lossy);
        if (lossy) {
            throw std::runtime_error("the script holds a character that code page 932 lacks");
        }
    }
    WriteBytes(path, bytes);
}

std::string ReadBytes(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "<missing>";
    }
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    CloseHandle(file);
    return bytes;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

DWORD Attributes(const std::wstring& path) {
    return GetFileAttributesW(path.c_str());
}

std::wstring Grouped(std::uint64_t value) {
    const std::wstring digits = std::to_wstring(value);
    std::wstring text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        text += digits[i];
        const std::size_t rest = digits.size() - i - 1;
        if (rest > 0 && rest % 3 == 0) {
            text += L',';
        }
    }
    return text;
}

std::wstring WithoutTrailingBackslash(std::wstring folder) {
    if (folder.size() > 3 && folder.back() == L'\\') {
        folder.pop_back();
    }
    return folder;
}

}  // namespace velkast::e2e
