#include "win32/errors/ErrorReport.h"

#include <string>

#include "core/platform/DebugOutput.h"
#include "win32/errors/SystemErrorText.h"
#include "win32/ui/MessageBoxSeam.h"

namespace velkast {
namespace {

constexpr UINT kErrorBoxStyle = MB_OK | MB_ICONWARNING | MB_SETFOREGROUND | MB_TOPMOST;
constexpr wchar_t kErrorCaption[] = L"エラーメッセージ";
constexpr wchar_t kNoText[] = L"(null)";

std::wstring OrNull(const wchar_t* text) {
    return text == nullptr ? std::wstring(kNoText) : std::wstring(text);
}

// Source paths are ASCII, so each byte is one character.
std::wstring Widen(const char* text) {
    if (text == nullptr) {
        return kNoText;
    }
    std::wstring wide;
    for (const char* p = text; *p != '\0'; ++p) {
        wide += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    }
    return wide;
}

// The opening of a trace and the lines that say where and what; the caller
// adds what follows and the closing line.
std::wstring TraceHead(SourcePosition where, const wchar_t* message) {
    return L"↓↓↓↓↓↓ Error ↓↓↓↓↓↓\n[" + std::to_wstring(where.line) + L"行目] " + Widen(where.file) + L"\n" +
           OrNull(message) + L"\n";
}

constexpr wchar_t kTraceTail[] = L"↑↑↑↑↑↑ Error ↑↑↑↑↑↑\n";

}  // namespace

void ReportError(const wchar_t* message, SourcePosition where) {
    WriteDebugOutput((TraceHead(where, message) + kTraceTail).c_str());
    ShowMessageBox(nullptr, (OrNull(message) + L"\r\n").c_str(), kErrorCaption, kErrorBoxStyle);
}

void ReportSystemError(const wchar_t* message, DWORD code, SourcePosition where) {
    const std::wstring systemText = SystemErrorText(code);
    const std::wstring reason = systemText.empty() ? std::wstring(kNoText) : systemText;
    // No line feed before the closing line: the system's text brings its own.
    WriteDebugOutput((TraceHead(where, message) + reason + kTraceTail).c_str());
    const std::wstring box = L"◆メッセージ◆\r\n" + OrNull(message) + L"\r\n\n◆エラー内容◆\r\n" + reason;
    ShowMessageBox(nullptr, box.c_str(), kErrorCaption, kErrorBoxStyle);
}

}  // namespace velkast
