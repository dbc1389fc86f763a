#include "win32/errors/ErrorReport.h"

#include <string>

#include "core/platform/DebugOutput.h"
#include "win32/platform/Owners.h"
#include "win32/ui/MessageBoxSeam.h"

namespace velkast {
namespace {

constexpr UINT kErrorBoxStyle = MB_OK | MB_ICONWARNING | MB_SETFOREGROUND | MB_TOPMOST;
constexpr wchar_t kErrorCaption[] = L"エラーメッセージ";
constexpr wchar_t kNoText[] = L"(null)";

// The system's own text for the error code, in the user's language; empty
// when the system has none. Such texts end in a line break of their own.
LocalBuffer SystemText(DWORD code) {
    LocalBuffer text;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(text.put()), 0, nullptr);
    return text;
}

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
    const LocalBuffer systemText = SystemText(code);
    const std::wstring reason = OrNull(systemText.get());
    // No line feed before the closing line: the system's text brings its own.
    WriteDebugOutput((TraceHead(where, message) + reason + kTraceTail).c_str());
    const std::wstring box = L"◆メッセージ◆\r\n" + OrNull(message) + L"\r\n\n◆エラー内容◆\r\n" + reason;
    ShowMessageBox(nullptr, box.c_str(), kErrorCaption, kErrorBoxStyle);
}

UniqueHandle OpenForRead(const wchar_t* path) {
    const HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        return UniqueHandle(file);
    }
    const DWORD code = GetLastError();
    const LocalBuffer systemText = SystemText(code);
    // Without the system's text the code at least lets the user ask for help.
    const std::wstring text =
        systemText ? std::wstring(systemText.get())
                   : L"ファイルを開けませんでした。(エラーコード " + std::to_wstring(code) + L")";
    ShowMessageBox(nullptr, text.c_str(), L"エラー", MB_OK | MB_ICONINFORMATION);
    return UniqueHandle();
}

}  // namespace velkast
