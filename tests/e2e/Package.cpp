#include "Package.h"

#include <stdexcept>

namespace velkast::e2e {

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    for (std::size_t slash = path.find(L'\\', 3); slash != std::wstring::npos;
         slash = path.find(L'\\', slash + 1)) {
        CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
    }
    testing::WriteFile(path, bytes);
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

DWORD Attributes(const std::wstring& path) {
    return GetFileAttributesW(path.c_str());
}

std::string Contents(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (auto& byte : bytes) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<char>(seed >> 16);
    }
    return bytes;
}

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    return bytes;
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
