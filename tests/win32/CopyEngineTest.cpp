// The copy worker, its progress display and the post-processing runner,
// against the real copy service and a real copy dialog made from template 108.

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MessageBoxRecorder.h"
#include "RegistryKey.h"
#include "ShellRecord.h"
#include "SystemText.h"
#include "TempFolder.h"
#include "VelkastResources.h"
#include "core/job/CopyJob.h"
#include "core/platform/DebugOutput.h"
#include "resources/resource.h"
#include "win32/app/Startup.h"
#include "win32/copy/CopyFileSeam.h"
#include "win32/copy/CopyProgress.h"
#include "win32/copy/CopyWorker.h"
#include "win32/copy/PostProcess.h"

namespace velkast {
namespace {

using testing::MessageBoxRecorder;
using testing::RecordedBox;
using testing::TempFolder;

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

std::string ReadAll(const std::wstring& path) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "<missing>";
    }
    std::string bytes(1 << 16, '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

constexpr DWORD kUnwantedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// A copy dialog as the program shows it when Start has been pressed, with a
// program folder, an install root and a job to copy between them.
class CopyEngine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(testing::VelkastResources(), nullptr);
        dialog = CreateDialogParamW(testing::VelkastResources(), MAKEINTRESOURCEW(IDD_COPY), nullptr,
                                    QuietDialogProc, 0);
        ASSERT_NE(dialog, nullptr);
        SendDlgItemMessageW(dialog, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        EnableWindow(GetDlgItem(dialog, IDC_START), FALSE);
        EnableWindow(GetDlgItem(dialog, IDC_EXIT), FALSE);
        SetDlgItemTextW(dialog, IDC_HEADING, L"コピー中です");
        job.copyDialog = dialog;
        record = program / L"record.txt";
        SetEnvironmentVariableW(L"VELKAST_RECORD_FILE", record.c_str());
    }

    void TearDown() override {
        SetEnvironmentVariableW(L"VELKAST_RECORD_FILE", nullptr);
        DestroyWindow(dialog);
    }

    // A source file of the program folder and its entry in the plan.
    void Plan(const std::wstring& name,
              const std::string& contents,
              DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        const std::wstring source = program / (L"files\\" + name);
        SHCreateDirectoryExW(nullptr, source.substr(0, source.find_last_of(L'\\')).c_str(), nullptr);
        testing::WriteFile(source, contents);
        SetFileAttributesW(source.c_str(), attributes);
        job.entries.push_back(CopyEntry{name, program / L"files\\", install.path()});
        job.entryCount = static_cast<std::int32_t>(job.entries.size());
        job.totalBytes += contents.size();
    }

    void RunWorker() {
        const HANDLE thread = CreateThread(nullptr, 0, CopyThreadProc, &job, 0, nullptr);
        ASSERT_NE(thread, nullptr);
        WaitForThread(thread);
        DWORD code = 1;
        GetExitCodeThread(thread, &code);
        EXPECT_EQ(code, 0u);
        CloseHandle(thread);
    }

    std::wstring Text(int id) const {
        wchar_t text[512] = {};
        GetDlgItemTextW(dialog, id, text, 512);
        return text;
    }

    void ExpectFinished() const {
        EXPECT_EQ(Text(IDC_HEADING), L"コピーが終了しました");
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_EXIT)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_START)));
    }

    // Makes the post-process item a program of its own folder.
    std::wstring PlanPostProcessProgram() {
        const std::wstring tools = program / L"tools\\";
        CreateDirectoryW(tools.c_str(), nullptr);
        CopyFileW(testing::ShellRecorderPath().c_str(), (tools + L"after.exe").c_str(), FALSE);
        job.postProcessPath = tools + L"after.exe";
        job.postProcessFolder = tools;
        return tools;
    }

    TempFolder program;
    TempFolder install;
    std::wstring record;
    HWND dialog = nullptr;
    CopyJob job;
};

TEST_F(CopyEngine, FullCopyIntoNewNestedFolders) {
    Plan(L"a.txt", "new contents of a");
    Plan(L"bin\\data.tar.gz", std::string(3000, 'd'), FILE_ATTRIBUTE_READONLY);
    Plan(L"deep\\er\\est\\readme", std::string(70000, 'r'), FILE_ATTRIBUTE_HIDDEN);
    testing::WriteFile(install / L"a.txt", "old");
    SetFileAttributesW((install / L"a.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);

    // Look at each destination as the copy begins: a read-only file that is
    // about to be overwritten has lost its marks by then.
    static std::vector<DWORD> attributesAtCopy;
    attributesAtCopy.clear();
    CopyFileFunctionScope observe([](LPCWSTR source, LPCWSTR destination, LPPROGRESS_ROUTINE progress,
                                     LPVOID data, LPBOOL cancel, DWORD flags) -> BOOL {
        attributesAtCopy.push_back(GetFileAttributesW(destination));
        return CopyFileExW(source, destination, progress, data, cancel, flags);
    });
    MessageBoxRecorder boxes;
    RunWorker();

    EXPECT_TRUE(boxes.boxes().empty());
    ASSERT_EQ(attributesAtCopy.size(), 3u);
    ASSERT_NE(attributesAtCopy[0], INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(attributesAtCopy[0] & kUnwantedAttributes, 0u);
    EXPECT_EQ(attributesAtCopy[1], INVALID_FILE_ATTRIBUTES);  // not there yet
    for (const auto& entry : job.entries) {
        const std::wstring destination = install.path() + entry.fileName;
        EXPECT_EQ(ReadAll(destination), ReadAll(entry.sourceFolder + entry.fileName));
        EXPECT_EQ(GetFileAttributesW(destination.c_str()) & kUnwantedAttributes, 0u);
    }
    ExpectFinished();
    EXPECT_EQ(Text(IDC_PERCENT), L"100 %");
    EXPECT_EQ(Text(IDC_COPIED_BYTES), L"73,017");
    EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_PROGRESS, PBM_GETPOS, 0, 0), 100);
    EXPECT_EQ(Text(IDC_TARGET_FOLDER), install.path());
    EXPECT_EQ(Text(IDC_FILE_NAME), L"readme");
    EXPECT_EQ(job.copiedBytes, job.totalBytes);
}

// The copy service on Windows reports 0 at the start of the stream, then
// after each chunk; the worker's own report afterwards then adds nothing.
TEST_F(CopyEngine, ProgressReportedByTheServiceIsNotCountedTwice) {
    Plan(L"one.bin", std::string(1000, '1'));
    Plan(L"two.bin", std::string(2000, '2'));
    static std::vector<std::wstring> seen;
    seen.clear();
    CopyFileFunctionScope windowsLike([](LPCWSTR source, LPCWSTR destination, LPPROGRESS_ROUTINE progress,
                                         LPVOID data, LPBOOL cancel, DWORD flags) -> BOOL {
        WIN32_FILE_ATTRIBUTE_DATA info;
        GetFileAttributesExW(source, GetFileExInfoStandard, &info);
        LARGE_INTEGER size{}, half{}, zero{};
        size.QuadPart = info.nFileSizeLow;
        half.QuadPart = size.QuadPart / 2;
        const CopyJob& copying = *static_cast<CopyJob*>(data);
        for (const LARGE_INTEGER count : {zero, half, size}) {
            progress(size, count, size, count, 1,
                     count.QuadPart == 0 ? CALLBACK_STREAM_SWITCH : CALLBACK_CHUNK_FINISHED, nullptr, nullptr,
                     data);
            wchar_t text[64] = {};
            GetDlgItemTextW(copying.copyDialog, IDC_COPIED_BYTES, text, 64);
            seen.push_back(text);
        }
        return CopyFileExW(source, destination, nullptr, nullptr, cancel, flags);
    });
    RunWorker();
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"0", L"500", L"1,000", L"1,000", L"2,000", L"3,000"}));
    EXPECT_EQ(Text(IDC_COPIED_BYTES), L"3,000");
    EXPECT_EQ(Text(IDC_PERCENT), L"100 %");
    EXPECT_EQ(job.copiedBytes, 3000u);
}

TEST_F(CopyEngine, FolderFailureStopsAtTheThirdOfFive) {
    Plan(L"1.txt", "1");
    Plan(L"2.txt", "2");
    Plan(L"blocked\\3.txt", "3");
    Plan(L"4.txt", "4");
    Plan(L"5.txt", "5");
    testing::WriteFile(install / L"blocked", "a file where a folder should be");
    PlanPostProcessProgram();

    MessageBoxRecorder boxes;
    std::wstring headingAtBox;
    boxes.onShow([&](const RecordedBox&) { headingAtBox = Text(IDC_HEADING); });
    RunWorker();

    EXPECT_EQ(boxes.boxes(), (std::vector<RecordedBox>{{dialog, L"ディレクトリの作成に失敗しました",
                                                        L"ファイル転送エラー", MB_OK}}));
    EXPECT_EQ(headingAtBox, L"コピー中です");  // the worker waits on the box
    EXPECT_EQ(ReadAll(install / L"1.txt"), "1");
    EXPECT_EQ(ReadAll(install / L"2.txt"), "2");
    EXPECT_FALSE(testing::Exists(install / L"4.txt"));
    EXPECT_FALSE(testing::Exists(install / L"5.txt"));
    ExpectFinished();
    // The post-process item is opened all the same.
    EXPECT_EQ(testing::WaitForRecords(record).size(), 1u);
}

TEST_F(CopyEngine, CopyFailureReportsTheSystemText) {
    struct Case {
        const char* name;
        DWORD error;
    };
    for (const Case& c : {Case{"source vanished", ERROR_FILE_NOT_FOUND},
                          Case{"destination locked", ERROR_SHARING_VIOLATION}}) {
        SCOPED_TRACE(c.name);
        job = CopyJob{};
        job.copyDialog = dialog;
        Plan(L"first.txt", "1");
        Plan(L"second.txt", "2");
        Plan(L"third.txt", "3");
        HANDLE lock = INVALID_HANDLE_VALUE;
        if (c.error == ERROR_FILE_NOT_FOUND) {
            DeleteFileW((program / L"files\\second.txt").c_str());
        } else {
            testing::WriteFile(install / L"second.txt", "locked");
            lock = CreateFileW((install / L"second.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                               nullptr);
            ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        }
        DeleteFileW((install / L"third.txt").c_str());

        MessageBoxRecorder boxes;
        DebugOutputCapture trace;
        RunWorker();
        if (lock != INVALID_HANDLE_VALUE) {
            CloseHandle(lock);
        }

        const std::wstring systemText = testing::SystemText(c.error);
        ASSERT_FALSE(systemText.empty());
        EXPECT_EQ(boxes.boxes(),
                  (std::vector<RecordedBox>{
                      {nullptr, L"◆メッセージ◆\r\nコピーに失敗しました。\r\n\n◆エラー内容◆\r\n" + systemText,
                       L"エラーメッセージ", MB_OK | MB_ICONWARNING | MB_SETFOREGROUND | MB_TOPMOST}}));
        const std::wstring& text = trace.text();
        EXPECT_EQ(text.rfind(L"↓↓↓↓↓↓ Error ↓↓↓↓↓↓\n[", 0), 0u) << "trace begins with its banner";
        EXPECT_NE(text.find(L"行目] src/win32/copy/CopyWorker.cpp\nコピーに失敗しました。\n" + systemText +
                            L"↑↑↑↑↑↑ Error ↑↑↑↑↑↑\n"),
                  std::wstring::npos);
        EXPECT_FALSE(testing::Exists(install / L"third.txt"));
        ExpectFinished();
    }
}

TEST_F(CopyEngine, ProgressRoutineShowsThePlan) {
    job.totalBytes = 100;
    struct Step {
        std::int64_t fileCount;
        std::wstring copied, percent;
        int position;
    };
    const Step steps[] = {
        {0, L"0", L"  0 %", 0},    {5, L"5", L"  5 %", 5},       {29, L"29", L" 28 %", 28},
        {57, L"57", L" 56 %", 56}, {100, L"100", L"100 %", 100}, {120, L"120", L"120 %", 100},
    };
    for (const auto& step : steps) {
        LARGE_INTEGER count{};
        count.QuadPart = step.fileCount;
        EXPECT_EQ(
            CopyProgressProc(count, count, count, count, 1, CALLBACK_CHUNK_FINISHED, nullptr, nullptr, &job),
            static_cast<DWORD>(PROGRESS_CONTINUE));
        EXPECT_EQ(Text(IDC_COPIED_BYTES), step.copied);
        EXPECT_EQ(Text(IDC_PERCENT), step.percent);
        // The bar is sent the percentage; it keeps within its range.
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_PROGRESS, PBM_GETPOS, 0, 0), step.position);
    }

    CopyJob empty;
    empty.copyDialog = dialog;
    LARGE_INTEGER zero{};
    CopyProgressProc(zero, zero, zero, zero, 1, CALLBACK_STREAM_SWITCH, nullptr, nullptr, &empty);
    EXPECT_EQ(Text(IDC_COPIED_BYTES), L"0");
    EXPECT_EQ(Text(IDC_PERCENT), L"  0 %");
}

TEST(DisplayName, LastComponentWithoutItsLastExtension) {
    struct Case {
        std::wstring fileName, shown;
    };
    const Case cases[] = {
        {L"bin\\data.tar.gz", L"data.tar"}, {L"readme", L"readme"},
        {L"sub\\tool.exe", L"tool"},        {L"a/b.txt", L"b"},
        {L"日本語\\説明書.txt", L"説明書"}, {L".profile", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DisplayName(c.fileName), c.shown);
    }
}

TEST_F(CopyEngine, PostProcessOpensNothingForAnEmptyPath) {
    EXPECT_TRUE(RunPostProcess(job));
    Sleep(200);
    EXPECT_FALSE(testing::Exists(record));
}

TEST_F(CopyEngine, PostProcessStartsAProgramInItsFolder) {
    const std::wstring tools = PlanPostProcessProgram();
    EXPECT_TRUE(RunPostProcess(job));
    const auto records = testing::WaitForRecords(record);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].folder + L"\\", tools);
    // No arguments: the command line is the program alone.
    const std::wstring& line = records[0].commandLine;
    EXPECT_NE(line.find(L"after.exe"), std::wstring::npos);
    EXPECT_EQ(line.substr(line.find(L"after.exe") + 9).find_first_not_of(L"\" "), std::wstring::npos)
        << "no arguments";
}

TEST_F(CopyEngine, PostProcessOpensADocumentWithItsProgram) {
    // A file type of the test's own, opened by the recorder.
    const std::wstring command = L"\"" + testing::ShellRecorderPath() + L"\" \"%1\"";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, L"VelkastTest.Document\\shell\\open\\command", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, L".velkasttest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    const std::wstring type = L"VelkastTest.Document";
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(type.c_str()),
                   static_cast<DWORD>((type.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);

    testing::WriteFile(program / L"notes.velkasttest", "notes");
    job.postProcessPath = program / L"notes.velkasttest";
    job.postProcessFolder = program.path();
    EXPECT_TRUE(RunPostProcess(job));
    const auto records = testing::WaitForRecords(record);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L".velkasttest");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"VelkastTest.Document");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_NE(records[0].commandLine.find(L"notes.velkasttest"), std::wstring::npos);
}

}  // namespace
}  // namespace velkast
