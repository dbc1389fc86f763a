// Error reports against the real system texts and files under Wine; boxes go
// to the recorder, traces to a capture of the debugger output.

#include <windows.h>

#include "win32/errors/ErrorReport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/platform/DebugOutput.h"
#include "support/win32/MessageBoxRecorder.h"
#include "support/win32/SystemText.h"
#include "support/win32/TempFolder.h"
#include "win32/platform/Owners.h"

namespace velkast {
namespace {

using testing::MessageBoxRecorder;
using testing::RecordedBox;

// The build names sources relative to the repository, never by where it was checked out.
const std::wstring kThisFile = L"tests/win32/ErrorReportTest.cpp";

constexpr UINT kWarningStyle = MB_OK | MB_ICONWARNING | MB_SETFOREGROUND | MB_TOPMOST;
constexpr DWORD kUnknownCode = 0x20001234;

std::wstring TraceOf(int line, const std::wstring& message) {
    return L"↓↓↓↓↓↓ Error ↓↓↓↓↓↓\n[" + std::to_wstring(line) + L"行目] " + kThisFile + L"\n" + message +
           L"\n↑↑↑↑↑↑ Error ↑↑↑↑↑↑\n";
}

std::wstring SystemTraceOf(int line, const std::wstring& message, const std::wstring& reason) {
    return L"↓↓↓↓↓↓ Error ↓↓↓↓↓↓\n[" + std::to_wstring(line) + L"行目] " + kThisFile + L"\n" + message +
           L"\n" + reason + L"↑↑↑↑↑↑ Error ↑↑↑↑↑↑\n";
}

std::wstring SecondLine(const std::wstring& trace) {
    const std::size_t start = trace.find(L'\n') + 1;
    return trace.substr(start, trace.find(L'\n', start) - start);
}

TEST(SourcePosition, NamesTheFileRelativeToTheRepository) {
    const SourcePosition here = VELKAST_HERE;
    EXPECT_EQ(here.line, __LINE__ - 1);
    ASSERT_NE(here.file, nullptr);
    EXPECT_NE(here.file[0], '/') << here.file;
    EXPECT_STREQ(here.file, "tests/win32/ErrorReportTest.cpp");
}

TEST(ReportError, WritesTheTraceAndShowsTheWarningBox) {
    const std::wstring messages[] = {
        L"インストール先のフォルダが見つかりません。",
        L"ミューテックスオブジェクトの作成に失敗しました。ERROR_ALREADY_EXISTS ",
        // Printed as is, never read as a format.
        L"100% 完了 %s %d %ls",
        // Longer than any fixed buffer would hold: nothing is cut.
        std::wstring(3000, L'長') + L"終",
    };
    for (const auto& message : messages) {
        MessageBoxRecorder boxes;
        DebugOutputCapture trace;

        const int line = __LINE__ + 1;
        ReportError(message.c_str(), VELKAST_HERE);

        EXPECT_EQ(trace.text(), TraceOf(line, message));
        EXPECT_EQ(SecondLine(trace.text()), L"[" + std::to_wstring(line) + L"行目] " + kThisFile);
        EXPECT_EQ(
            boxes.boxes(),
            (std::vector<RecordedBox>{{nullptr, message + L"\r\n", L"エラーメッセージ", kWarningStyle}}));
    }
}

// The system's text for the code follows the message in the trace, which is
// written before the box is shown, and in the box; "(null)" stands for a text
// the system does not have.
TEST(ReportSystemError, GivesTheSystemTextForTheCode) {
    ASSERT_EQ(testing::SystemText(kUnknownCode), L"")
        << "the code was meant to be one the system has no text for";
    const std::wstring notFound = testing::SystemText(ERROR_FILE_NOT_FOUND);
    // Texts of the system end in a line break; the trace relies on it.
    ASSERT_GE(notFound.size(), 2u);
    ASSERT_EQ(notFound.substr(notFound.size() - 2), L"\r\n");

    struct Case {
        std::wstring message;
        DWORD code;
        std::wstring reason;
    };
    const Case cases[] = {
        {L"更新スクリプトを開けませんでした。", ERROR_FILE_NOT_FOUND, notFound},
        {L"ミューテックスオブジェクトの作成に失敗しました。ERROR_ALREADY_EXISTS ", kUnknownCode, L"(null)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        MessageBoxRecorder boxes;
        DebugOutputCapture trace;
        std::wstring traceWhenShown;
        boxes.onShow([&](const RecordedBox&) { traceWhenShown = trace.text(); });

        const int line = __LINE__ + 1;
        ReportSystemError(c.message.c_str(), c.code, VELKAST_HERE);

        const std::wstring expectedTrace = SystemTraceOf(line, c.message, c.reason);
        EXPECT_EQ(trace.text(), expectedTrace);
        EXPECT_EQ(traceWhenShown, expectedTrace) << "the trace is written before the box is shown";
        const std::wstring expectedBox =
            L"◆メッセージ◆\r\n" + c.message + L"\r\n\n◆エラー内容◆\r\n" + c.reason;
        EXPECT_EQ(boxes.boxes(),
                  (std::vector<RecordedBox>{{nullptr, expectedBox, L"エラーメッセージ", kWarningStyle}}));
    }
}

}  // namespace
}  // namespace velkast
