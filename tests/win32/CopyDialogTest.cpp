// The copy dialog as the program runs it: made from template 108 with
// BaseWndProc and a CVelkastDlg, the plan built from a real script, files and
// registry key, and the real copy worker behind Start.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "VelkastResources.h"
#include "core/job/CopyJob.h"
#include "core/run/PlanLog.h"
#include "core/text/TextLine.h"
#include "resource.h"
#include "support/RecordingLog.h"
#include "support/win32/MessageBoxRecorder.h"
#include "support/win32/RegistryKey.h"
#include "support/win32/ShellOpenRecorder.h"
#include "support/win32/TempFolder.h"
#include "win32/app/VelkastDlg.h"
#include "win32/app/WaitDlg.h"
#include "win32/copy/WorkerStart.h"
#include "win32/log/CopyLog.h"
#include "win32/window/WndBase.h"

namespace velkast {
namespace {

using testing::MessageBoxRecorder;
using testing::RecordedBox;
using testing::RecordingLog;
using testing::RegistryKey;
using testing::ShellOpenRecorder;
using testing::TempFolder;

class CopyDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(testing::VelkastResources(), nullptr);
        CreateDirectoryW((program / L"files").c_str(), nullptr);
        testing::WriteFile(program / L"files\\a.txt", std::string(10, 'a'));
        testing::WriteFile(program / L"files\\b.dat", std::string(2000, 'b'));
        key.SetString(install.path());
    }

    // Loads the script and creates the wait dialog and the copy dialog the
    // way start-up does, but modeless, so that the test can drive it. The
    // objects are members: whatever an assertion leaves, the fixture's end
    // takes down (the copy dialog first, once its worker has ended).
    void Open(const std::string& body, const CopyDialogOptions& options = {}) {
        scriptText = "launch\r\n[SetParamter]\r\n" + Narrow(key.path()) + "\r\nNone\r\n0\r\nm\r\n" + body;
        ASSERT_TRUE(script.Load(scriptText.data(), static_cast<std::uint32_t>(scriptText.size())));
        job.programFolder = program.path();
        waitWindow = CreateDialogParamW(testing::VelkastResources(), MAKEINTRESOURCEW(IDD_WAIT), nullptr,
                                        BaseWndProc, reinterpret_cast<LPARAM>(&waitDialog));
        ASSERT_NE(waitWindow, nullptr);
        copyDialog = std::make_unique<CVelkastDlg>(script, job, waitWindow, options);
        window = CreateDialogParamW(testing::VelkastResources(), MAKEINTRESOURCEW(IDD_COPY), nullptr,
                                    BaseWndProc, reinterpret_cast<LPARAM>(copyDialog.get()));
        ASSERT_NE(window, nullptr);
    }

    static std::string Narrow(const std::wstring& ascii) { return std::string(ascii.begin(), ascii.end()); }

    std::wstring Text(int id) const {
        wchar_t text[512] = {};
        GetDlgItemTextW(window, id, text, 512);
        return text;
    }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(window, id)) != FALSE; }
    void Press(int id) const { SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

    // Runs this thread's messages, as the modal loop would, until the
    // condition holds; false if it still does not after 20 seconds.
    static bool PumpUntil(const std::function<bool()>& done) {
        const ULONGLONG giveUp = GetTickCount64() + 20000;
        while (!done()) {
            if (GetTickCount64() > giveUp) {
                return false;
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        return true;
    }

    void ExpectReady() const {
        EXPECT_EQ(Text(IDC_HEADING), L"ファイルをコピーします");
        EXPECT_TRUE(Enabled(IDC_START));
        EXPECT_TRUE(Enabled(IDC_EXIT));
        EXPECT_EQ(Text(IDC_TOTAL_BYTES), L"byte");
        EXPECT_EQ(Text(IDC_COPIED_BYTES), L"");
        EXPECT_EQ(Text(IDC_FILE_NAME), L"");
        EXPECT_EQ(Text(IDC_PERCENT), L"0 %");
        EXPECT_EQ(SendDlgItemMessageW(window, IDC_PROGRESS, PBM_GETPOS, 0, 0), 0);
    }

    TempFolder program;
    TempFolder install;
    RegistryKey key{HKEY_CURRENT_USER, KEY_WOW64_64KEY};
    std::string scriptText;
    CTextLine script;
    CopyJob job;
    CWaitDlg waitDialog;
    HWND waitWindow = nullptr;
    std::unique_ptr<CVelkastDlg> copyDialog;
    HWND window = nullptr;
};

const std::string kTwoFiles = "%Root%\\files\\\r\na.txt\r\nb.dat\r\n";

TEST_F(CopyDialog, ReadyCopyingFinishedThenExitOpensTheReport) {
    MessageBoxRecorder boxes;
    ShellOpenRecorder shell;
    Open(kTwoFiles);
    EXPECT_FALSE(IsWindowVisible(waitWindow)) << "the plan is built: the wait dialog is hidden";
    EXPECT_EQ(job.entries.size(), 2u);
    ExpectReady();

    // Escape and any other id change nothing.
    Press(IDCANCEL);
    Press(1234);
    ExpectReady();
    EXPECT_TRUE(IsWindow(window));

    // The worker has this thread draw its reports, and ends only once this
    // thread has shown the end: the state right after Start is what the
    // dialog itself set.
    Press(IDC_START);
    EXPECT_EQ(Text(IDC_HEADING), L"コピー中です");
    EXPECT_EQ(Text(IDC_TOTAL_BYTES), L"2,010byte");
    EXPECT_FALSE(Enabled(IDC_START));
    EXPECT_FALSE(Enabled(IDC_EXIT));
    ASSERT_TRUE(copyDialog->workerStarted());

    copyDialog->JoinWorker();
    EXPECT_EQ(Text(IDC_TARGET_FOLDER), install.path());
    EXPECT_EQ(Text(IDC_FILE_NAME), L"b");
    EXPECT_EQ(Text(IDC_HEADING), L"コピーが終了しました");
    EXPECT_EQ(Text(IDC_PERCENT), L"100 %");
    EXPECT_EQ(Text(IDC_COPIED_BYTES), L"2,010");
    EXPECT_FALSE(Enabled(IDC_START));
    EXPECT_TRUE(Enabled(IDC_EXIT));
    EXPECT_TRUE(testing::Exists(install / L"b.dat"));
    EXPECT_TRUE(boxes.boxes().empty());

    Press(IDC_EXIT);
    EXPECT_EQ(shell.opened, (std::vector<std::wstring>{program / L"Report.txt"}));
}

TEST_F(CopyDialog, ExitBeforeStartOpensNothing) {
    ShellOpenRecorder shell;
    Open(kTwoFiles);
    Press(IDC_EXIT);
    EXPECT_TRUE(shell.opened.empty());
    EXPECT_FALSE(IsWindowVisible(window));  // ended (a modeless dialog is hidden)
    EXPECT_FALSE(testing::Exists(install / L"a.txt"));
}

TEST_F(CopyDialog, RefusedPlanEndsBeforeShowingAndHidesTheWaitDialog) {
    MessageBoxRecorder boxes;
    Open("%Root%\\files\\\r\nmissing.txt\r\n");
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_FALSE(IsWindowVisible(waitWindow));
    ASSERT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(boxes.boxes()[1].owner, window);
    EXPECT_EQ(boxes.boxes()[1].caption, std::optional<std::wstring>(L"ファイル取得エラー"));
}

TEST_F(CopyDialog, CloseDuringTheCopyLetsTheCopyFinish) {
    MessageBoxRecorder boxes;
    Open(kTwoFiles);
    Press(IDC_START);
    ASSERT_TRUE(copyDialog->workerStarted());
    // The worker cannot end before this thread has shown the end; the window goes first.
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    copyDialog->JoinWorker();
    EXPECT_EQ(testing::ReadFileBytes(install / L"a.txt"), std::string(10, 'a'));
    EXPECT_EQ(testing::ReadFileBytes(install / L"b.dat"), std::string(2000, 'b'));
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(CopyDialog, WorkerThatCannotStartIsReportedAndTheCopyFinished) {
    MessageBoxRecorder boxes;
    Open(kTwoFiles);
    const ScopedOverride<ThreadStartFunction> noThreads(threadStartSeam,
                                                        [](LPTHREAD_START_ROUTINE, LPVOID) -> HANDLE {
                                                            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
                                                            return nullptr;
                                                        });
    Press(IDC_START);
    EXPECT_FALSE(copyDialog->workerStarted());
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].caption, std::optional<std::wstring>(L"エラーメッセージ"));
    EXPECT_EQ(boxes.boxes()[0].text.rfind(L"◆メッセージ◆\r\nコピーに失敗しました。\r\n", 0), 0u);
    EXPECT_EQ(Text(IDC_HEADING), L"コピーが終了しました");
    EXPECT_TRUE(Enabled(IDC_EXIT));
    EXPECT_FALSE(Enabled(IDC_START));
}

// With its buttons pressed by the program (a passive run): Start once the
// dialog shows, ready; Exit once the worker has ended. The plan and the
// copy are told to the observers the options name.
TEST_F(CopyDialog, PressesStartWhenReadyAndExitWhenTheWorkerHasEnded) {
    MessageBoxRecorder boxes;
    ShellOpenRecorder shell;
    RecordingLog log;
    PlanLog plan(log);
    CopyLog copy(job, log);
    Open(kTwoFiles, CopyDialogOptions{&plan, &copy, true});
    EXPECT_TRUE(IsWindowVisible(window)) << "shown before Start is pressed";
    EXPECT_FALSE(IsWindowVisible(waitWindow));
    EXPECT_TRUE(Enabled(IDC_START)) << "Start is pressed from the message loop";

    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(window); })) << "the dialog ends by itself";
    EXPECT_EQ(Text(IDC_HEADING), L"コピーが終了しました");
    EXPECT_FALSE(copyDialog->workerStarted()) << "the worker had ended";
    EXPECT_EQ(testing::ReadFileBytes(install / L"b.dat"), std::string(2000, 'b'));
    EXPECT_EQ(shell.opened, (std::vector<std::wstring>{program / L"Report.txt"}));
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(copy.outcome(), std::optional<ExitCode>(ExitCode::Success));
    const auto events = log.events();
    ASSERT_EQ(events.size(), 7u);
    EXPECT_EQ(events[1],
              L"plan: line 8: " + program.path() + L"files\\a.txt -> " + install.path() + L"a.txt, 10 bytes");
    EXPECT_EQ(events[3], L"copy started: 2 files, 2010 bytes in all");
    EXPECT_EQ(events[6], L"copy finished: 2 of 2 files, 2010 bytes");
}

TEST_F(CopyDialog, EndsByItselfWhenTheWorkerCannotStart) {
    MessageBoxRecorder boxes;
    ShellOpenRecorder shell;
    const ScopedOverride<ThreadStartFunction> noThreads(threadStartSeam,
                                                        [](LPTHREAD_START_ROUTINE, LPVOID) -> HANDLE {
                                                            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
                                                            return nullptr;
                                                        });
    Open(kTwoFiles, CopyDialogOptions{nullptr, nullptr, true});
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(window); }));
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].caption, std::optional<std::wstring>(L"エラーメッセージ"));
    EXPECT_EQ(shell.opened, (std::vector<std::wstring>{program / L"Report.txt"}));
    EXPECT_FALSE(testing::Exists(install / L"a.txt"));
}

TEST_F(CopyDialog, RefusedPlanPressesNothing) {
    MessageBoxRecorder boxes;
    ShellOpenRecorder shell;
    Open("%Root%\\files\\\r\nmissing.txt\r\n", CopyDialogOptions{nullptr, nullptr, true});
    EXPECT_FALSE(IsWindowVisible(window));
    // Whatever is posted has been posted by now.
    PumpUntil([n = 0]() mutable { return n++ > 0; });
    EXPECT_FALSE(copyDialog->workerStarted());
    EXPECT_TRUE(shell.opened.empty());
}

}  // namespace
}  // namespace velkast
