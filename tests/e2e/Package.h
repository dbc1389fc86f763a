#pragma once
// Files of an update package and of an installed application, as the
// scenarios and the demo prepare and inspect them.

#include <windows.h>

#include <cstdint>
#include <string>

#include "support/win32/SystemText.h"
#include "support/win32/TempFolder.h"

namespace velkast::e2e {

// Writes the bytes, creating the missing folders of the path.
void WriteBytes(const std::wstring& path, const std::string& bytes);

// Writes the text as script authors save Update.up on Japanese Windows: in
// code page 932 (Shift-JIS). Throws when a character has no such form.
void WriteCp932(const std::wstring& path, const std::wstring& text);

DWORD Attributes(const std::wstring& path);

using testing::Exists;
using testing::SystemText;
// The file's bytes, or "<missing>".
inline std::string ReadBytes(const std::wstring& path) {
    return testing::ReadFileBytes(path);
}

// Distinct contents of the given size.
std::string Contents(std::size_t size, unsigned seed);

// The text in UTF-8.
std::string Utf8(const std::wstring& text);

// A byte count with "," between groups of three digits: 1,234,567.
std::wstring Grouped(std::uint64_t value);

// A folder path without its trailing backslash, as a program's working
// folder reads.
std::wstring WithoutTrailingBackslash(std::wstring folder);

}  // namespace velkast::e2e
