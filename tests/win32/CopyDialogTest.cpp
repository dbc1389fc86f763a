// The copy dialog as the program runs it: made from template 108 with
// BaseWndProc and a CVelkastDlg, the plan built from a real script, files and
// registry key, and the real copy worker behind Start.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MessageBoxRecorder.h"
#include "RegistryKey.h"
#include "ShellRecord.h"
#include "TempFolder.h"
#include "VelkastResources.h"
#include "core/job/CopyJob.h"
#include "core/text/TextLine.h"
#include "resources/resource.h"
#include "win32/app/Startup.h"
#include "win32/app/VelkastDlg.h"
#include "win32/copy/WorkerStart.h"
#include "win32/ui/ShellSeam.h"
#include "win32/window/WaitDlg.h"
#include "win32/window/WndBase.h"

namespace velkast {
namespace {

using testing::MessageBoxRecorder;
using testing::RecordedBox;
using testing::RegistryKey;
using testing::TempFolder;

// Records what the program would open with the shell.
class ShellOpenRecorder {
public:
    ShellOpenRecorder() : scope_(&Record, this) {}
    std::vector<std::wstring> opened;

private:
    static void Record(const std::wstring& path, void* context) {
        static_cast<ShellOpenRecorder*>(context)->opened.push_back(path);
    }
    ShellOpenHandlerScope scope_;
};

class CopyDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(testing::VelkastResources(), nullptr);
        CreateDirectoryW((program / L"files").c_str(), nullptr);
        testing::WriteFile(program / L"files\\a.txt", std::string(10, 'a'));
        testing::WriteFile(program / L"files\\b.dat", std::string(2000, 'b'));
        key.SetString(install.path());
    }

    void TearDown() override {
        delete copyDialog;  // destroys its window, as start-up does
        delete waitDialog;
        if (job.script != nullptr) {
            delete job.script;
        }
    }

    // Loads the script and creates the wait dialog and the copy dialog the
    // way start-up does, but modeless, so that the test can drive it.
    void Open(const std::string& body) {
        const std::string script =
            "launch\r\n[SetParamter]\r\n" + Narrow(key.path()) + "\r\nNone\r\n0\r\nm\r\n" + body;
        job.script = new CTextLine();
        ASSERT_TRUE(job.script->Load(script.data(), static_cast<std::uint32_t>(script.size())));
        job.programFolder = program.path();
        waitDialog = new CWaitDlg(job);
        job.waitDialog = CreateDialogParamW(testing::VelkastResources(), MAKEINTRESOURCEW(IDD_WAIT), nullptr,
                                            BaseWndProc, reinterpret_cast<LPARAM>(waitDialog));
        ASSERT_NE(job.waitDialog, nullptr);
        copyDialog = new CVelkastDlg(job);
        window = CreateDialogParamW(testing::VelkastResources(), MAKEINTRESOURCEW(IDD_COPY), nullptr,
                                    BaseWndProc, reinterpret_cast<LPARAM>(copyDialog));
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
    CopyJob job;
    CWaitDlg* waitDialog = nullptr;
    CVelkastDlg* copyDialog = nullptr;
    HWND window = nullptr;
};

const std::string kTwoFiles = "%Root%\\files\\\r\na.txt\r\nb.dat\r\n";

TEST_F(CopyDialog, ReadyCopyingFinishedThenExitOpensTheReport) {
    MessageBoxRecorder boxes;
    ShellOpenRecorder shell;
    Open(kTwoFiles);
    EXPECT_FALSE(IsWindowVisible(job.waitDialog)) << "the plan is built: the wait dialog is hidden";
    EXPECT_EQ(job.copyDialog, window);
    EXPECT_EQ(job.entryCount, 2);
    ExpectReady();

    // Escape and any other id change nothing.
    Press(IDCANCEL);
    Press(1234);
    ExpectReady();
    EXPECT_TRUE(IsWindow(window));

    // The worker waits for this thread to carry out its first update, so the
    // state right after Start is what the dialog itself set.
    Press(IDC_START);
    EXPECT_EQ(Text(IDC_HEADING), L"コピー中です");
    EXPECT_EQ(Text(IDC_TOTAL_BYTES), L"2,010byte");
    EXPECT_FALSE(Enabled(IDC_START));
    EXPECT_FALSE(Enabled(IDC_EXIT));
    ASSERT_NE(copyDialog->workerThread, nullptr);

    WaitForThread(copyDialog->workerThread);
    CloseHandle(copyDialog->workerThread);
    copyDialog->workerThread = nullptr;
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
    EXPECT_FALSE(IsWindowVisible(job.waitDialog));
    ASSERT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(boxes.boxes()[1].owner, window);
    EXPECT_EQ(boxes.boxes()[1].caption, std::optional<std::wstring>(L"ファイル取得エラー"));
}

TEST_F(CopyDialog, CloseDuringTheCopyLetsTheCopyFinish) {
    MessageBoxRecorder boxes;
    Open(kTwoFiles);
    Press(IDC_START);
    ASSERT_NE(copyDialog->workerThread, nullptr);
    // The worker is waiting on its first update; the window goes first.
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    WaitForThread(copyDialog->workerThread);
    CloseHandle(copyDialog->workerThread);
    copyDialog->workerThread = nullptr;
    EXPECT_EQ(testing::ReadFileBytes(install / L"a.txt"), std::string(10, 'a'));
    EXPECT_EQ(testing::ReadFileBytes(install / L"b.dat"), std::string(2000, 'b'));
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(CopyDialog, WorkerThatCannotStartIsReportedAndExitEnabled) {
    MessageBoxRecorder boxes;
    Open(kTwoFiles);
    ThreadStartScope noThreads([](LPTHREAD_START_ROUTINE, LPVOID) -> HANDLE {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    });
    Press(IDC_START);
    EXPECT_EQ(copyDialog->workerThread, nullptr);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].caption, std::optional<std::wstring>(L"エラーメッセージ"));
    EXPECT_EQ(boxes.boxes()[0].text.rfind(L"◆メッセージ◆\r\nコピーに失敗しました。\r\n", 0), 0u);
    EXPECT_TRUE(Enabled(IDC_EXIT));
    EXPECT_FALSE(Enabled(IDC_START));
}

TEST(WaitForThread, IgnoresTheQuitMessageOfTheEndedDialog) {
    PostQuitMessage(0);
    const HANDLE thread = CreateThread(
        nullptr, 0, [](LPVOID) -> DWORD { return 0; }, nullptr, 0, nullptr);
    WaitForThread(thread);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
    CloseHandle(thread);
}

TEST(ReadScriptFile, OnlyAReadableFileWithBytesGivesABuffer) {
    TempFolder folder;
    testing::WriteFile(folder / L"Update.up", "launch\r\n// comment\r\n");
    testing::WriteFile(folder / L"empty.up", "");
    testing::WriteFile(folder / L"locked.up", "launch\r\n");
    const HANDLE lock =
        CreateFileW((folder / L"locked.up").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);

    HeapBlock block;
    std::uint32_t size = 0;
    ASSERT_TRUE(ReadScriptFile(folder / L"Update.up", block, size));
    EXPECT_EQ(size, 20u);
    EXPECT_EQ(std::string(block.as<char>(), size), "launch\r\n// comment\r\n");
    EXPECT_FALSE(ReadScriptFile(folder / L"missing.up", block, size));
    EXPECT_FALSE(block);
    EXPECT_FALSE(ReadScriptFile(folder / L"empty.up", block, size));
    EXPECT_FALSE(ReadScriptFile(folder / L"locked.up", block, size));
    EXPECT_FALSE(ReadScriptFile(folder.path(), block, size));  // a folder
    CloseHandle(lock);
}

TEST(ProgramFolder, FolderOfTheProgramWithItsBackslash) {
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring expected(self, length);
    expected.erase(expected.find_last_of(L'\\') + 1);
    EXPECT_EQ(ProgramFolder(), expected);
}

}  // namespace
}  // namespace velkast
