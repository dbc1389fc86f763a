#pragma once
// The texts that velkast-pack writes into Update.up, tested as the updater
// will read them: in code page 932, through the updater's own text line store.

#include <filesystem>
#include <optional>
#include <string>

namespace velkast::pack {

// True when the system's ANSI code page, in which the updater reads the
// script and in which the conversions below write it, is 932 (Shift-JIS).
bool AnsiCodePageIs932();

// The text in the ANSI code page, when every character has a form there
// that reads back as itself; otherwise none.
std::optional<std::string> ScriptBytes(const std::wstring& text);

// Why the text cannot be written in code page 932 (the characters that it
// lacks), or none.
std::optional<std::wstring> CodePageProblem(const std::wstring& text);

// Why the text cannot stand as one line of the script whose only field the
// updater reads exactly as written, or none when it can. The text is written
// as a line of its own and read back through the text line store; the reason
// names what stopped the store: a character that code page 932 lacks, a line
// break, a TAB, "//", the length of a line or a field, or nothing at all left
// to read.
std::optional<std::wstring> ScriptLineProblem(const std::wstring& text);

// Why the name cannot be the name of a file or folder on Windows, or none.
std::optional<std::wstring> WindowsNameProblem(const std::wstring& name);

// A text in double quotes, line breaks and TABs shown as escapes.
std::wstring Quoted(const std::wstring& text);

// UTF-8 and wide text.
std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& utf8);

// File system paths and their text, whatever the build's native form.
std::filesystem::path PathOf(const std::wstring& text);
std::wstring TextOf(const std::filesystem::path& path);

}  // namespace velkast::pack
