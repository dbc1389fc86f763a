// The pieces of a run with a log: the log file itself, and what the boxes,
// the shell and the copy worker write to it.

#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "core/job/CopyJob.h"
#include "support/RecordingLog.h"
#include "support/win32/MessageBoxRecorder.h"
#include "support/win32/ShellOpenRecorder.h"
#include "support/win32/SystemText.h"
#include "support/win32/TempFolder.h"
#include "win32/log/BoxLog.h"
#include "win32/log/CopyLog.h"
#include "win32/log/RunLogFile.h"
#include "win32/log/ShellLog.h"

namespace velkast {
namespace {

using testing::MessageBoxRecorder;
using testing::ReadFileBytes;
using testing::RecordedBox;
using testing::RecordingLog;
using testing::ShellOpenRecorder;
using testing::TempFolder;

constexpr char kBom[] = "\xEF\xBB\xBF";

// The lines of a log file, without the byte order mark and their CR LF.
std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t at = bytes.rfind(kBom, 0) == 0 ? 3 : 0;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", at);
        lines.push_back(bytes.substr(at, end - at));
        at = end == std::string::npos ? bytes.size() : end + 2;
    }
    return lines;
}

// "2026-05-04T10:15:30.123+09:00 [4242] " and the text.
::testing::AssertionResult IsLogLine(const std::string& line, const std::string& text) {
    static const std::regex stamp(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d \[(\d+)\] )");
    std::smatch match;
    if (!std::regex_search(line, match, stamp, std::regex_constants::match_continuous)) {
        return ::testing::AssertionFailure() << "no stamp: " << line;
    }
    if (std::stoul(match[1]) != GetCurrentProcessId() || match.suffix().str() != text) {
        return ::testing::AssertionFailure() << "not [this process] " << text << ": " << line;
    }
    return ::testing::AssertionSuccess();
}

TEST(RunLogFile, AppendsUtf8LinesAndMarksANewFileOnce) {
    TempFolder folder;
    const std::wstring path = folder / L"更新 ログ.log";
    {
        RunLogFile log(path);
        ASSERT_TRUE(log.isOpen());
        EXPECT_EQ(log.openError(), static_cast<DWORD>(ERROR_SUCCESS));
        log.Write(L"start: 日本語のテキスト");
        log.Write(L"box \"エラー\": 一行目\r\n二行目\r\n");
    }
    {
        RunLogFile again(path);
        again.Write(L"second run");
    }
    const std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(bytes.rfind(kBom, 0), 0u);
    EXPECT_EQ(bytes.find(kBom, 1), std::string::npos) << "one mark, at the start";
    const std::vector<std::string> lines = Lines(bytes);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(IsLogLine(lines[0],
                          "start: \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE3\x83\x86\xE3\x82"
                          "\xAD\xE3\x82\xB9\xE3\x83\x88"));
    EXPECT_TRUE(IsLogLine(lines[1],
                          "box \"\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC\": \xE4\xB8\x80\xE8\xA1\x8C\xE7\x9B"
                          "\xAE | \xE4\xBA\x8C\xE8\xA1\x8C\xE7\x9B\xAE"));
    EXPECT_TRUE(IsLogLine(lines[2], "second run"));
}

// A file that exists already, without the mark, is appended to as it is.
TEST(RunLogFile, KeepsWhatAFileHeld) {
    TempFolder folder;
    const std::wstring path = folder / L"old.log";
    testing::WriteFile(path, "earlier line\r\n");
    RunLogFile(path).Write(L"new line");
    const std::vector<std::string> lines = Lines(ReadFileBytes(path));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "earlier line");
    EXPECT_TRUE(IsLogLine(lines[1], "new line"));
}

TEST(RunLogFile, ALogThatCannotBeOpenedWritesNothing) {
    TempFolder folder;
    struct Case {
        std::wstring path;
        DWORD error;
    };
    for (const Case& c : {Case{folder / L"no such folder\\v.log", ERROR_PATH_NOT_FOUND},
                          Case{folder.path(), ERROR_ACCESS_DENIED}, Case{L"", ERROR_SUCCESS}}) {
        RunLogFile log(c.path);
        EXPECT_FALSE(log.isOpen());
        EXPECT_EQ(log.openError(), c.error) << c.path;
        log.Write(L"lost");
    }
    EXPECT_FALSE(testing::Exists(folder / L"no such folder"));
}

// Whatever the log does, the caller's last error is as it left it.
TEST(RunLogFile, LeavesTheLastErrorAlone) {
    TempFolder folder;
    RunLogFile log(folder / L"v.log");
    SetLastError(ERROR_DISK_FULL);
    log.Write(L"event");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
}

// Two runs on one log (a second instance while the first copies), from
// several threads each: every line arrives whole.
TEST(RunLogFile, LinesOfConcurrentWritersStayWhole) {
    TempFolder folder;
    const std::wstring path = folder / L"shared.log";
    RunLogFile first(path);
    RunLogFile second(path);
    constexpr int kLines = 200;
    std::vector<std::thread> writers;
    for (RunLogFile* log : {&first, &second, &first, &second}) {
        writers.emplace_back([log, n = writers.size()] {
            for (int i = 0; i < kLines; ++i) {
                log->Write(L"writer " + std::to_wstring(n) + L" line " + std::to_wstring(i) + L" " +
                           std::wstring(100, L'x'));
            }
        });
    }
    for (auto& writer : writers) {
        writer.join();
    }
    const std::vector<std::string> lines = Lines(ReadFileBytes(path));
    ASSERT_EQ(lines.size(), 4u * kLines);
    std::vector<int> next(4, 0);
    for (const std::string& line : lines) {
        const std::size_t at = line.find("writer ");
        ASSERT_NE(at, std::string::npos) << line;
        const int n = line[at + 7] - '0';
        ASSERT_TRUE(n >= 0 && n < 4) << line;
        ASSERT_TRUE(IsLogLine(line, "writer " + std::to_string(n) + " line " + std::to_string(next[n]) + " " +
                                        std::string(100, 'x')));
        ++next[n];
    }
}

TEST(BoxLog, WritesEachBoxThenShowsItOrAnswersUnseen) {
    MessageBoxRecorder screen(IDCANCEL);
    RecordingLog log;
    {
        BoxLog unseen(log, false);
        EXPECT_EQ(ShowMessageBox(nullptr, L"◆メッセージ◆\r\nコピーに失敗しました。\r\n", L"エラーメッセージ",
                                 MB_OK | MB_ICONWARNING),
                  IDOK);
        EXPECT_EQ(ShowMessageBox(nullptr, L"コピーするファイルがありません", nullptr, MB_OK), IDOK);
    }
    EXPECT_TRUE(screen.boxes().empty());
    {
        BoxLog shown(log, true);
        EXPECT_EQ(
            ShowMessageBox(nullptr, L"Update.upファイルが見つかりません", L"テキストデータ取得エラー", MB_OK),
            IDCANCEL);
    }
    // The seam is back as it was.
    ShowMessageBox(nullptr, L"after", L"c", MB_OK);
    EXPECT_EQ(screen.boxes(),
              (std::vector<RecordedBox>{
                  {nullptr, L"Update.upファイルが見つかりません", L"テキストデータ取得エラー", MB_OK},
                  {nullptr, L"after", L"c", MB_OK},
              }));
    EXPECT_EQ(log.events(),
              (std::vector<std::wstring>{
                  L"box \"エラーメッセージ\", not shown: ◆メッセージ◆\r\nコピーに失敗しました。\r\n",
                  L"box without caption, not shown: コピーするファイルがありません",
                  L"box \"テキストデータ取得エラー\": Update.upファイルが見つかりません",
              }));
}

TEST(ShellLog, WritesEachDocumentThenOpensItOrLeavesIt) {
    ShellOpenRecorder shell;
    RecordingLog log;
    {
        ShellLog quiet(log, false);
        OpenWithShell(L"C:\\pkg\\readme.txt");
    }
    {
        ShellLog opening(log, true);
        OpenWithShell(L"C:\\pkg\\Report.txt");
    }
    OpenWithShell(L"C:\\pkg\\after.txt");
    EXPECT_EQ(shell.opened, (std::vector<std::wstring>{L"C:\\pkg\\Report.txt", L"C:\\pkg\\after.txt"}));
    EXPECT_EQ(log.events(), (std::vector<std::wstring>{L"not opened (quiet run): C:\\pkg\\readme.txt",
                                                       L"opening C:\\pkg\\Report.txt"}));
}

// The copy log against the reports of a worker: three files of 10, 20 and
// 30 bytes, the progress after each as the worker gives it.
class CopyLogTest : public ::testing::Test {
protected:
    CopyLogTest() {
        for (const wchar_t* name : {L"a.dat", L"sub\\b.dat", L"c.dat"}) {
            job.entries.push_back(CopyEntry{name, L"C:\\pkg\\files\\", L"C:\\App\\"});
        }
        job.totalBytes = 60;
    }

    // The worker's reports for the first count files, each copied whole.
    void Copy(std::size_t count) {
        std::uint64_t bytes = 0;
        for (std::size_t i = 0; i < count; ++i) {
            copy.FileStarted(L"C:\\App\\", L"name");
            bytes += 10 * (i + 1);
            copy.BytesCopied(bytes);
        }
    }

    CopyJob job;
    RecordingLog log;
    CopyLog copy{job, log};
};

TEST_F(CopyLogTest, EveryFileCopiedThenTheEnd) {
    EXPECT_EQ(copy.outcome(), std::nullopt) << "nothing started";
    job.postProcessPath = L"C:\\pkg\\tools\\after.EXE";
    Copy(3);
    copy.Finished();
    EXPECT_EQ(copy.outcome(), std::optional<ExitCode>(ExitCode::Success));
    job.entries.clear();  // as the copy dialog leaves the plan when it goes
    EXPECT_EQ(copy.outcome(), std::optional<ExitCode>(ExitCode::Success));
    EXPECT_EQ(log.events(), (std::vector<std::wstring>{
                                L"copy started: 3 files, 60 bytes in all",
                                L"copied 1/3: C:\\App\\a.dat, 10 bytes",
                                L"copied 2/3: C:\\App\\sub\\b.dat, 20 bytes",
                                L"copied 3/3: C:\\App\\c.dat, 30 bytes",
                                L"copy finished: 3 of 3 files, 60 bytes",
                                L"starting the post-process program C:\\pkg\\tools\\after.EXE",
                            }));
}

TEST_F(CopyLogTest, AFailureStopsTheCopyWithTheSystemsReason) {
    struct Case {
        CopyFailure why;
        DWORD error;
        std::wstring what;
        ExitCode code;
    };
    const Case cases[] = {
        {CopyFailure::FolderNotMade, ERROR_ALREADY_EXISTS, L"its folder C:\\App\\sub\\ cannot be made",
         ExitCode::DestinationFolder},
        {CopyFailure::CopyFailed, ERROR_SHARING_VIOLATION, L"the copy failed", ExitCode::CopyFailed},
    };
    for (const Case& c : cases) {
        RecordingLog failing;
        CopyLog stopped(job, failing);
        job.postProcessPath = L"C:\\pkg\\docs\\whatsnew.txt";
        stopped.FileStarted(L"C:\\App\\", L"a");
        stopped.BytesCopied(10);
        stopped.FileStarted(L"C:\\App\\", L"b");
        stopped.Failed(job.entries[1], c.why, c.error);
        stopped.Finished();
        EXPECT_EQ(stopped.outcome(), std::optional<ExitCode>(c.code));
        std::wstring reason = testing::SystemText(c.error);
        while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r')) {
            reason.pop_back();
        }
        ASSERT_FALSE(reason.empty());
        EXPECT_EQ(failing.events(),
                  (std::vector<std::wstring>{
                      L"copy started: 3 files, 60 bytes in all",
                      L"copied 1/3: C:\\App\\a.dat, 10 bytes",
                      L"copy stopped at 2/3: C:\\pkg\\files\\sub\\b.dat -> C:\\App\\sub\\b.dat: " + c.what +
                          L", error " + std::to_wstring(c.error) + L": " + reason,
                      L"copy finished: 1 of 3 files, 10 bytes",
                      L"opening the post-process item C:\\pkg\\docs\\whatsnew.txt",
                  }));
    }
}

// A copy that ends before its last file without a failure (the worker ran
// out of memory) has not copied the update.
TEST_F(CopyLogTest, AnUnfinishedCopyHasFailed) {
    Copy(2);
    copy.Finished();
    EXPECT_EQ(copy.outcome(), std::optional<ExitCode>(ExitCode::CopyFailed));
    RecordingLog never;
    CopyLog started(job, never);
    started.FileStarted(L"C:\\App\\", L"a");
    EXPECT_EQ(started.outcome(), std::optional<ExitCode>(ExitCode::CopyFailed)) << "no end came";
}

}  // namespace
}  // namespace velkast
