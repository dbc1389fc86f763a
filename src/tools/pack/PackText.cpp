#include "tools/pack/PackText.h"

#include <algorithm>
#include <cstdio>

#include "core/platform/AnsiText.h"
#include "core/platform/DebugOutput.h"
#include "core/platform/Platform.h"
#include "core/text/TextLine.h"
#include "tools/check/Utf8.h"

namespace velkast::pack {
namespace {

// The line before the tested one: the first line with content is the launch
// line, which the store hands out before any other.
constexpr char kLaunchLine[] = "[Update]\r\n";
constexpr std::size_t kShownMax = 5;

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

std::wstring CodePoint(const std::wstring& character) {
    unsigned long value = static_cast<unsigned long>(character[0]);
    if (character.size() == 2) {
        value = 0x10000 + ((value - 0xD800) << 10) + (static_cast<unsigned long>(character[1]) - 0xDC00);
    }
    wchar_t text[16];
    std::swprintf(text, 16, L"U+%04lX", value);
    return text;
}

// The characters of the text that code page 932 cannot represent, each once.
std::wstring Unrepresentable(const std::wstring& text) {
    std::vector<std::wstring> found;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t units = IsHighSurrogate(text[i]) && i + 1 < text.size() ? 2 : 1;
        const std::wstring character = text.substr(i, units);
        i += units;
        if (!ScriptBytes(character) && std::find(found.begin(), found.end(), character) == found.end()) {
            found.push_back(character);
        }
    }
    std::wstring list;
    for (std::size_t i = 0; i < found.size() && i < kShownMax; ++i) {
        list += (i == 0 ? L"" : L", ") + Quoted(found[i]) + L" (" + CodePoint(found[i]) + L")";
    }
    if (found.size() > kShownMax) {
        list += L" and " + std::to_wstring(found.size() - kShownMax) + L" more";
    }
    return list;
}

bool SameNoCase(const std::wstring& a, const wchar_t* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != L'\0'; ++i) {
        const wchar_t c = a[i] >= L'a' && a[i] <= L'z' ? static_cast<wchar_t>(a[i] - L'a' + L'A') : a[i];
        if (c != b[i]) {
            return false;
        }
    }
    return i == a.size() && b[i] == L'\0';
}

}  // namespace

bool AnsiCodePageIs932() {
    return ScriptBytes(L"\u3042") == std::optional<std::string>("\x82\xA0");
}

std::optional<std::string> ScriptBytes(const std::wstring& text) {
    if (text.empty()) {
        return std::string();
    }
    const int length = static_cast<int>(text.size());
    const int needed = platform::WideToAnsi(platform::AnsiPage::System, text.data(), length, nullptr, 0);
    if (needed <= 0) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    platform::WideToAnsi(platform::AnsiPage::System, text.data(), length, bytes.data(), needed);
    // A character without a form, or with a "best fit" one, does not come back.
    const int back = platform::AnsiToWide(platform::AnsiPage::System, bytes.data(), needed, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(back > 0 ? back : 0), L'\0');
    if (back > 0) {
        platform::AnsiToWide(platform::AnsiPage::System, bytes.data(), needed, wide.data(), back);
    }
    if (wide != text) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::wstring> CodePageProblem(const std::wstring& text) {
    if (ScriptBytes(text)) {
        return std::nullopt;
    }
    return L"code page 932 cannot represent " + Unrepresentable(text);
}

std::optional<std::wstring> ScriptLineProblem(const std::wstring& text) {
    const std::optional<std::string> bytes = ScriptBytes(text);
    if (!bytes) {
        return CodePageProblem(text);
    }
    const std::string script = kLaunchLine + *bytes + "\r\n";
    CTextLine store;
    DebugOutputCapture capture;  // the store's trace of a line that is too long
    store.Load(script.data(), static_cast<std::uint32_t>(script.size()));
    if (!store.NextLine()) {
        return text.empty() ? L"it is empty: the updater skips empty lines"
                            : L"it reads as a comment line, which the updater skips";
    }
    const char* field = store.GetField();
    if (field == nullptr) {
        return std::wstring(L"it begins with a TAB: the updater reads no text from such a line");
    }
    const std::wstring read = WidenAnsi(field);
    const bool moreFields = store.GetField() != nullptr;
    if (read == text && !moreFields) {
        return std::nullopt;
    }
    const std::size_t at = static_cast<std::size_t>(
        std::mismatch(read.begin(), read.end(), text.begin(), text.end()).second - text.begin());
    const std::wstring kept = L"the updater reads only " + Quoted(read);
    if (text.compare(at, 2, L"//") == 0) {
        return L"\"//\" starts a comment in it: " + kept;
    }
    const wchar_t stop = at < text.size() ? text[at] : L'\0';
    if (stop == L'\t') {
        return L"a TAB ends the updater's field in it: " + kept;
    }
    if (stop == L'\r' || stop == L'\n') {
        return L"it holds a line break: " + kept;
    }
    if (at < text.size() && stop == L'\0') {
        return L"it holds a NUL character, at which the updater stops reading the script: " + kept;
    }
    if (at != read.size() || at == text.size()) {
        return L"the updater reads it as " + Quoted(read);
    }
    const std::wstring limit = std::to_wstring(CTextBase::kLineCapacity - 1);
    return L"it is too long, " + std::to_wstring(text.size()) + L" characters and " +
           std::to_wstring(bytes->size()) + L" bytes in code page 932: the updater takes at most " + limit +
           L" characters of a line with its line end and " + limit +
           L" bytes of a field, so it reads only the first " + std::to_wstring(read.size()) + L" characters";
}

std::optional<std::wstring> WindowsNameProblem(const std::wstring& name) {
    if (name.empty()) {
        return std::wstring(L"an empty name");
    }
    for (const wchar_t c : name) {
        if (c < 0x20) {
            return std::wstring(L"a control character, which Windows does not allow in a name");
        }
        if (std::wstring(L"<>:\"/\\|?*").find(c) != std::wstring::npos) {
            return L"the character " + Quoted(std::wstring(1, c)) +
                   L", which Windows does not allow in a name";
        }
    }
    if (name.back() == L' ' || name.back() == L'.') {
        return std::wstring(L"it ends in a space or a dot, which Windows drops from a name");
    }
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') {
        stem.pop_back();
    }
    static const wchar_t* const kDevices[] = {
        L"CON",  L"PRN",  L"AUX",  L"NUL",  L"COM1", L"COM2", L"COM3", L"COM4", L"COM5", L"COM6", L"COM7",
        L"COM8", L"COM9", L"LPT1", L"LPT2", L"LPT3", L"LPT4", L"LPT5", L"LPT6", L"LPT7", L"LPT8", L"LPT9"};
    for (const wchar_t* device : kDevices) {
        if (SameNoCase(stem, device)) {
            return Quoted(stem) + L" names a device on Windows, not a file";
        }
    }
    return std::nullopt;
}

std::wstring Quoted(const std::wstring& text) {
    std::wstring quoted = L"\"";
    for (const wchar_t c : text) {
        quoted += c == L'\t' ? L"\\t" : c == L'\r' ? L"\\r" : c == L'\n' ? L"\\n" : std::wstring(1, c);
    }
    return quoted + L"\"";
}

std::string Utf8(const std::wstring& text) {
    return check::ToUtf8(text);
}

std::wstring Wide(const std::string& utf8) {
    return check::FromUtf8(utf8);
}

std::filesystem::path PathOf(const std::wstring& text) {
    const std::string utf8 = Utf8(text);
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::wstring TextOf(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return Wide(std::string(utf8.begin(), utf8.end()));
}

}  // namespace velkast::pack
